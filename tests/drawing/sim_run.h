// A run attached to a simulated CAD session built in the test, and small builders of session files.
#pragma once

#include "drawing_test_support.h"
#include "host/sim/sim_session.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace drawing_tests
{

using Json = nlohmann::json;

/// A symbol as the session file writes it; texts by slot ("3" name, "4" value, ...).
inline Json SymbolJson(const std::string& name, const std::map<std::string, std::string>& texts, int type = 1,
                       double x = 0.1, double y = 0.1)
{
    Json slots = Json::object();
    for (const auto& [slot, text] : texts)
        slots[slot] = text;
    return Json{{"name", name}, {"type", type}, {"allAround", false}, {"direction", 0}, {"texts", slots},
                {"x", x},       {"y", y}};
}

/// "Ra <value>" of kind 1.
inline Json RaSymbol(const std::string& name, const std::string& value)
{
    return SymbolJson(name, {{"3", "Ra"}, {"4", value}});
}

inline Json NoteJson(const std::string& name, const std::string& text, double x = 0.3, double y = 0.03)
{
    return Json{{"name", name}, {"text", text}, {"x", x}, {"y", y}, {"angle", 0}};
}

inline Json SheetJson(const std::string& name, const std::vector<Json>& symbols, const std::vector<Json>& notes = {},
                      const std::vector<Json>& views = {})
{
    Json sheet = Json::object();
    sheet["name"] = name;
    sheet["properties"] = Json::array({8, 8, 1, 1, 0, 0.42, 0.297});
    sheet["symbols"] = Json::array();
    for (const auto& symbol : symbols)
        sheet["symbols"].push_back(symbol);
    sheet["notes"] = Json::array();
    for (const auto& note : notes)
        sheet["notes"].push_back(note);
    sheet["views"] = Json::array();
    for (const auto& view : views)
        sheet["views"].push_back(view);
    return sheet;
}

/// A session with one drawing whose current sheet is the first one; `extra` adds top-level members
/// (selection, faults, application).
inline Json SessionJson(const std::vector<Json>& sheets, const Json& extra = Json::object())
{
    Json document = Json::object();
    document["path"] = "C:\\Zeichnungen\\Welle.SLDDRW";
    document["type"] = 3;
    document["sheets"] = Json::array();
    for (const auto& sheet : sheets)
        document["sheets"].push_back(sheet);
    Json session = Json::object();
    session["format"] = "glattmark-cad-session/1";
    session["running"] = true;
    session["activeDocument"] = 0;
    session["documents"] = Json::array();
    session["documents"].push_back(document);
    for (const auto& [key, value] : extra.items())
        session[key] = value;
    return session;
}

/// A drawing operation's pieces on a simulated session, with one configured sheet format (code 8) and fonts the
/// fixed-metric measurer knows.
struct SimRun : WorkHarness
{
    std::shared_ptr<host::sim::SimSession> session;
    std::map<std::string, std::int64_t> baseline;
    std::int64_t baselineTotal = 0;

    explicit SimRun(const Json& file) : SimRun(host::sim::SimSession::Parse(file.dump())) {}

    /// A further run on a session an earlier run worked on.
    explicit SimRun(std::shared_ptr<host::sim::SimSession> sessionIn) : session(std::move(sessionIn))
    {
        const host::ApplicationPtr application = session->Application();
        Attach(application, application->ActiveDoc()->AsDrawing());
        settings.formatCount = 1;
        settings.formats[0] = {L"A3", 8, 0.3, 0.02};
        settings.symbolFontName = L"Arial";
        settings.symbolFontHeight = 14;
        settings.bracketFontName = L"Arial";
        settings.bracketFontHeight = 10;
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
