// What a drawing operation works on, attached to a simulated CAD session built in the test.
#pragma once

#include "drawing/drawing_access.h"
#include "host/sim/sim_connector.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/sim_session_builder.h"
#include "ui/error_object.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace drawing_tests
{

using testing_support::Json;

/// A drawing operation's pieces on a simulated session, with one configured sheet format (code 8) and fonts the
/// fixed-metric measurer knows.
struct SimRun
{
    std::shared_ptr<host::sim::SimSession> session;
    host::sim::SimConnector connector{session};
    testing_support::RecordingMessageWindow window;
    testing_support::FixedMetricMeasurer measurer;
    ui::ErrorObject cc{window};
    config::Settings settings;
    host::swAccess swAcc{cc, connector};
    symbols::SymbolList list;
    symbols::MeasuringSurface txtCalc{measurer};
    symbols::LayoutResults layout;
    drawing::Work work{swAcc, list, settings, txtCalc, layout, cc};
    std::map<std::string, std::int64_t> baseline;
    std::int64_t baselineTotal = 0;

    explicit SimRun(const Json& file) : SimRun(testing_support::Session(file)) {}

    /// A further run on a session an earlier run worked on.
    explicit SimRun(std::shared_ptr<host::sim::SimSession> sessionIn) : session(std::move(sessionIn))
    {
        cc.Init(L"SW Oberfl\u00e4chen - Assistent", std::nullopt, true);
        // Attached without the session object's own attaching, so that the host sees only the calls of the
        // code under test.
        swAcc.swApp = session->Application();
        swAcc.Drawing = swAcc.swApp->ActiveDoc()->AsDrawing();
        settings.formatCount = 1;
        settings.formats[0] = {L"A3", 8, 0.3, 0.02};
        settings.symbolFontName = L"Arial";
        settings.symbolFontHeight = 14;
        settings.bracketFontName = L"Arial";
        settings.bracketFontHeight = 10;
        Rebase();
    }
    SimRun(const SimRun&) = delete;
    SimRun& operator=(const SimRun&) = delete;

    /// Counts calls from here on.
    void Rebase()
    {
        baseline = session->CallsByMember();
        baselineTotal = session->TotalCalls();
    }

    std::int64_t CallsSinceAttached() const { return session->TotalCalls() - baselineTotal; }

    /// Calls of a host member since the run was attached.
    std::int64_t Calls(const std::string& member) const
    {
        const auto before = baseline.find(member);
        return session->CallCount(member) - (before == baseline.end() ? 0 : before->second);
    }

    const host::sim::SheetModel& Sheet(std::size_t index = 0) const
    {
        return session->ActiveDocument()->sheets.at(index);
    }

    /// Names of every symbol on the sheet (the sheet's own first, then its views'), in order.
    std::vector<std::wstring> SymbolNames(std::size_t sheet = 0) const
    {
        std::vector<std::wstring> names;
        for (const auto* symbol : host::sim::AllSymbols(Sheet(sheet)))
            names.push_back(symbol->name);
        return names;
    }

    std::vector<std::wstring> NoteNames(std::size_t sheet = 0) const
    {
        std::vector<std::wstring> names;
        for (const auto* note : host::sim::AllNotes(Sheet(sheet)))
            names.push_back(note->name);
        return names;
    }
};

} // namespace drawing_tests
