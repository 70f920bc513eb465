// What the drawing tests share: the pieces a drawing operation works on, built from port doubles, and a
// host symbol that only records the texts written to it.
#pragma once

#include "drawing/drawing_access.h"
#include "host/session_connector.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"
#include "ui/error_object.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace drawing_tests
{

/// Hands out the application it was given (nothing: no session running).
class FixedConnector : public host::SessionConnector
{
public:
    host::ApplicationPtr application;
    host::ApplicationPtr GetActiveObject(const std::wstring&) override { return application; }
};

/// What a drawing operation works on, built fresh from port doubles; the test attaches the session.
struct WorkHarness
{
    testing_support::RecordingMessageWindow window;
    testing_support::FixedMetricMeasurer measurer;
    FixedConnector connector;
    ui::ErrorObject cc{window};
    config::Settings settings;
    host::swAccess swAcc{cc, connector};
    symbols::SymbolList list;
    symbols::MeasuringSurface txtCalc{measurer};
    symbols::LayoutResults layout;
    drawing::Work work{swAcc, list, settings, txtCalc, layout, cc};

    WorkHarness() { cc.Init(L"SW Oberfl\u00e4chen - Assistent", std::nullopt, true); }
    WorkHarness(const WorkHarness&) = delete;
    WorkHarness& operator=(const WorkHarness&) = delete;

    /// Attaches to an application and its drawing without going through the session object's own
    /// attaching, so that the host sees only the calls of the code under test.
    void Attach(const host::ApplicationPtr& application, const host::DrawingPtr& drawingDoc)
    {
        swAcc.swApp = application;
        swAcc.Drawing = drawingDoc;
    }
};

/// A host symbol that keeps its texts and records every SetText; it can be told to fail one of them.
class RecordingSymbol : public host::SFSymbol
{
public:
    std::array<host::OptionalText, 11> texts{};
    std::vector<std::pair<std::int16_t, host::OptionalText>> written;
    std::optional<std::size_t> failSetTextAt; ///< 0-based index of the SetText call that fails

    host::SFSymbolPtr GetNext() override { return nullptr; }
    std::int32_t GetSymbolType() override { return 0; }
    host::OptionalText GetText(std::int16_t whichOne) override { return texts.at(static_cast<std::size_t>(whichOne)); }
    bool GetSymbolAllAround() override { return false; }
    std::int32_t GetDirectionOfLay() override { return 0; }
    host::AnnotationPtr GetAnnotation() override { return nullptr; }
    bool SetSymbol(std::int32_t, std::int16_t, bool) override { return true; }
    bool SetText(std::int16_t whichOne, const host::OptionalText& text) override
    {
        if (failSetTextAt && *failSetTextAt == written.size())
            throw host::Error(host::kDispException, "SetText", "failure injected by the test");
        written.emplace_back(whichOne, text);
        texts.at(static_cast<std::size_t>(whichOne)) = text;
        return true;
    }
};

} // namespace drawing_tests
