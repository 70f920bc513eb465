// The one way the tests spell a CAD session: a session file built in code, in the format glattmark-sim
// reads, and the simulated session on it. The simulated session is the double of the host: its faults fail
// a given call, and its model and call counts show what the program did.
#pragma once

#include "host/sim/sim_session.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support
{

using Json = nlohmann::json;

/// A surface-finish symbol; texts by slot as the file spells them ({"3", "Ra"}, {"4", "3,2"}, {"9", nullptr}).
inline Json SymbolJson(const std::string& name, const Json& texts = Json::object(), int type = 1, double x = 0.1,
                       double y = 0.1)
{
    return Json{
        {"name", name}, {"type", type}, {"texts", texts.is_null() ? Json::object() : texts}, {"x", x}, {"y", y}};
}

/// "Ra <value>" of kind 1.
inline Json RaSymbol(const std::string& name, const std::string& value)
{
    return SymbolJson(name, {{"3", "Ra"}, {"4", value}});
}

inline Json NoteJson(const std::string& name, const std::string& text, double x = 0.3, double y = 0.03)
{
    return Json{{"name", name}, {"text", text}, {"x", x}, {"y", y}};
}

/// A drawing view; referencedModel "" shows no model.
inline Json ViewJson(const std::string& name, const std::vector<Json>& symbols, const std::vector<Json>& notes = {},
                     const std::string& referencedModel = "")
{
    return Json{{"name", name}, {"referencedModel", referencedModel}, {"symbols", symbols}, {"notes", notes}};
}

/// An A3 sheet (paper size 8, 420 x 297 mm).
inline Json SheetJson(const std::string& name, const std::vector<Json>& symbols, const std::vector<Json>& notes = {},
                      const std::vector<Json>& views = {})
{
    return Json{{"name", name},
                {"properties", {8, 8, 1, 1, 0, 0.42, 0.297}},
                {"symbols", symbols},
                {"notes", notes},
                {"views", views}};
}

/// A running session whose active document is one drawing with these sheets, the first of them current;
/// `extra` adds or replaces top-level members (application, files, selection, activeDocument, running).
inline Json SessionJson(const std::vector<Json>& sheets, const Json& extra = Json::object())
{
    Json session = {{"format", "glattmark-cad-session/1"},
                    {"running", true},
                    {"activeDocument", 0},
                    {"documents", Json::array({{{"path", "C:\\Zeichnungen\\Welle.SLDDRW"}, {"type", 3}}})}};
    session["documents"][0]["sheets"] = sheets;
    for (const auto& [key, value] : extra.items())
        session[key] = value;
    return session;
}

/// The occurrence-th call of member (counted from 1) raises a host failure ("error") or answers no object
/// ("nothing").
inline Json Fault(const std::string& member, int occurrence = 1, const std::string& effect = "error")
{
    return Json{{"member", member}, {"occurrence", occurrence}, {"effect", effect}};
}

/// Every call after the first afterCalls fails, as when the host process has gone away.
inline Json Disconnect(std::int64_t afterCalls)
{
    return Json{{"afterCalls", afterCalls}, {"effect", "disconnect"}};
}

inline Json Busy(std::int64_t afterCalls, double seconds)
{
    return Json{{"afterCalls", afterCalls}, {"effect", "busy"}, {"seconds", seconds}};
}

inline Json WithFaults(Json session, const std::vector<Json>& faults)
{
    session["faults"] = faults;
    return session;
}

/// The simulated session on a file built here, read as glattmark-sim reads it.
inline std::shared_ptr<host::sim::SimSession> Session(const Json& file)
{
    return host::sim::SimSession::Parse(file.dump());
}

/// The host symbols of the current sheet in the order the host walks them: the sheet's own, then each
/// view's.
inline std::vector<host::SFSymbolPtr> SheetSymbols(host::sim::SimSession& session)
{
    std::vector<host::SFSymbolPtr> symbols;
    for (auto view = session.Application()->ActiveDoc()->AsDrawing()->GetFirstView(); view; view = view->GetNextView())
    {
        for (auto symbol = view->GetFirstSFSymbol(); symbol; symbol = symbol->GetNext())
            symbols.push_back(symbol);
    }
    return symbols;
}

} // namespace testing_support
