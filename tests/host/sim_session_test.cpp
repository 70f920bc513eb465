// The simulated session's file: reading, refusing, writing back.
#include "host/sim/sim_session.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

using host::sim::SessionFileError;
using host::sim::SimSession;
using nlohmann::json;

const char kWelle[] = R"({
  "format": "glattmark-cad-session/1",
  "running": true,
  "application": { "executablePath": "C:\\Program Files\\CAD", "macroPath": "", "toggles": { "24": true },
                   "vendorExtra": [1, 2, {"deep": null}] },
  "activeDocument": 0,
  "documents": [
    {
      "path": "C:\\Zeichnungen\\Welle.SLDDRW",
      "type": 3,
      "currentSheet": "Blatt2",
      "textFormats": {
        "0": { "typeFaceName": "Arial", "charHeight": 0.0035, "bold": false },
        "5": { "typeFaceName": "ISOCPEUR", "charHeight": 0.005, "bold": true }
      },
      "customProperties": { "": { "Werkstoff": "S235JR" }, "Standard": { "Masse": "1,5" } },
      "sheets": [
        { "name": "Blatt1", "properties": [8, 8, 1, 1, 0, 0.42, 0.297] },
        {
          "name": "Blatt2",
          "properties": [12, 12, 1, 2, 0, 0.123456789012345678, 0.297],
          "symbols": [
            { "name": "Oberflächensymbol1", "type": 1, "allAround": false, "direction": 0,
              "texts": { "2": "gefräst", "3": "Ra", "4": "3,2", "9": null, "7": "" },
              "x": 0.12, "y": 0.08, "note": "kept",
              "textFormat": { "typeFaceName": "Arial", "charHeight": 0.0035, "bold": false } }
          ],
          "notes": [
            { "name": "DetailItem1", "text": "Allgemeintoleranz ISO 2768-m", "x": 0.3, "y": 0.03,
              "angle": 0, "textFormat": { "typeFaceName": "Arial", "charHeight": 0.0035, "bold": false } }
          ],
          "views": [
            { "name": "Zeichenansicht1", "referencedModel": "C:\\Modelle\\Welle.SLDPRT",
              "symbols": [ { "name": "Oberflächensymbol2", "texts": { "4": "6,3" }, "x": 1e-17, "y": -0.1 } ],
              "notes": [] }
          ]
        }
      ]
    }
  ],
  "files": { "C:\\Modelle\\Welle.SLDPRT": 1 },
  "selection": [ { "type": "NOTE", "name": "DetailItem1@Blatt2" } ],
  "faults": [ { "member": "InsertSurfaceFinishSymbol3", "occurrence": 2, "effect": "error" } ]
})";

json WithoutStats(const std::string& text)
{
    auto parsed = json::parse(text);
    parsed.erase("stats");
    return parsed;
}

TEST(SimSessionFile, ReadsTheModel)
{
    const auto session = SimSession::Parse(kWelle);
    const auto* document = session->ActiveDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->currentSheet, L"Blatt2");
    const auto& sheet = document->sheets[1];
    ASSERT_EQ(sheet.symbols.size(), 1u);
    const auto& symbol = sheet.symbols[0];
    EXPECT_EQ(symbol.name, L"Oberflächensymbol1");
    EXPECT_EQ(symbol.texts[2], host::OptionalText(L"gefräst"));
    EXPECT_EQ(symbol.texts[1], host::OptionalText(L"")); // missing slot: the empty text
    EXPECT_EQ(symbol.texts[9], std::nullopt);            // null: no value at all
    EXPECT_NEAR(symbol.x, 0.12, 1e-9);
    // A symbol without its own format takes the document's surface-finish format (5).
    const auto& inView = sheet.views[0].symbols[0];
    EXPECT_EQ(inView.textFormat.typeFaceName, L"ISOCPEUR");
    EXPECT_TRUE(inView.textFormat.bold);
    EXPECT_EQ(document->customProperties.at(L"").at(L"Werkstoff"), L"S235JR");
    ASSERT_EQ(document->selection.size(), 1u);
    EXPECT_EQ(document->selection[0].kind, host::sim::SelectedKind::kNote);
}

TEST(SimSessionFile, RoundTripIsUnchangedApartFromStats)
{
    const auto session = SimSession::Parse(kWelle);
    const auto written = session->Serialize();
    EXPECT_EQ(WithoutStats(written), json::parse(kWelle));
    // Full precision: the odd width reads back as the same double.
    const auto again = SimSession::Parse(written);
    EXPECT_EQ(again->ActiveDocument()->sheets[1].properties[5], 0.123456789012345678);
    EXPECT_EQ(again->ActiveDocument()->sheets[1].views[0].symbols[0].x, 1e-17);
    EXPECT_EQ(WithoutStats(again->Serialize()), json::parse(kWelle));
}

TEST(SimSessionFile, MinimalFileRoundTripsAndTakesDefaults)
{
    const std::string minimal = R"({"format":"glattmark-cad-session/1","documents":[{"sheets":[{"name":"S"}]}]})";
    const auto session = SimSession::Parse(minimal);
    ASSERT_NE(session->ActiveDocument(), nullptr);
    EXPECT_TRUE(session->Running());
    EXPECT_EQ(session->ActiveDocument()->type, host::kDrawing);
    EXPECT_EQ(session->ActiveDocument()->currentSheet, L"S");
    EXPECT_EQ(session->Model().application.toggles.at(24), true);
    EXPECT_EQ(WithoutStats(session->Serialize()), json::parse(minimal));
}

TEST(SimSessionFile, RoundTripKeepsTheFilesSpellingOfDefaultsAndSelections)
{
    const std::string head = R"({"format":"glattmark-cad-session/1",)";
    const std::string drawing = R"("documents":[{"sheets":[{"name":"B","views":[{"name":"V",
        "symbols":[{"name":"S1"}],"notes":[{"name":"N1"}]}]}]}])";
    const std::vector<std::string> files = {
        head + R"("application":{"toggles":{"5":false}}})",
        head + R"("application":{"toggles":{}}})",
        head + drawing + R"(,"selection":[{"type":"SFSYMBOL","name":"S1@V"},{"type":"NOTE","name":"N1@B"}]})",
        // No active document: there is nothing to select in, and the entries stay as they were.
        head + drawing + R"(,"activeDocument":null,"selection":[{"type":"NOTE","name":"N1@B","x":1}]})",
    };
    for (const auto& file : files)
    {
        SCOPED_TRACE(file);
        EXPECT_EQ(WithoutStats(SimSession::Parse(file)->Serialize()), json::parse(file));
    }

    // What the run changes is still written.
    const auto toggled = SimSession::Parse(files[0]);
    toggled->Application()->SetUserPreferenceToggle(24, false);
    EXPECT_EQ(WithoutStats(toggled->Serialize())["application"]["toggles"], json::parse(R"({"5":false,"24":false})"));
    const auto selected = SimSession::Parse(files[2]);
    auto extension = selected->Application()->ActiveDoc()->Extension();
    ASSERT_TRUE(extension->SelectByID(L"N1@B", L"NOTE", 0, 0, 0, true, 0, nullptr)); // toggles N1 off
    ASSERT_TRUE(extension->SelectByID(L"S1@B", L"SFSYMBOL", 0, 0, 0, false, 0, nullptr));
    EXPECT_EQ(WithoutStats(selected->Serialize())["selection"], json::parse(R"([{"type":"SFSYMBOL","name":"S1@B"}])"));
}

TEST(SimSessionFile, StatsAreWritten)
{
    const auto session = SimSession::Parse(kWelle);
    auto application = session->Application();
    (void)application->ActiveDoc();
    (void)application->ActiveDoc();
    application->ActiveDoc()->AsDrawing()->EditRebuild();
    const auto stats = json::parse(session->Serialize())["stats"];
    EXPECT_EQ(stats["calls"]["total"], 4);
    EXPECT_EQ(stats["calls"]["byMember"]["ActiveDoc"], 3);
    EXPECT_EQ(stats["calls"]["byMember"]["EditRebuild"], 1);
    EXPECT_EQ(stats["rebuilds"], 1);
}

TEST(SimSessionFile, RefusesUnusableFilesNamingWhatAndWhere)
{
    struct Case
    {
        std::string file;
        std::string named;
    };
    const std::string head = R"({"format":"glattmark-cad-session/1",)";
    const std::string sheet = R"("documents":[{"sheets":[{"name":"B","symbols":[{}, {}, )";
    const std::vector<Case> cases = {
        {"", "kein JSON"},
        {"{\"format\": ", "kein JSON"},
        {"[1,2]", "erwartet ein Objekt"},
        {"{}", "format: fehlt"},
        {R"({"format":"glattmark-cad-session/2"})", "format: erwartet \"glattmark-cad-session/1\""},
        {head + R"("running":"yes"})", "running: erwartet true oder false"},
        {head + sheet + R"({"x":"0,1"}]}]}]})", "documents[0].sheets[0].symbols[2].x: erwartet eine Zahl"},
        {head + sheet + R"({"type":1.5}]}]}]})", "documents[0].sheets[0].symbols[2].type: erwartet eine ganze Zahl"},
        {head + sheet + R"({"texts":{"11":"x"}}]}]}]})", "documents[0].sheets[0].symbols[2].texts.11"},
        {head + sheet + R"({"texts":{"0":"x"}}]}]}]})", "symbols[2].texts.0: erwartet als Schl\u00fcssel ein Textfeld"},
        {head + sheet + R"({"texts":{"2":5}}]}]}]})", "texts.2: erwartet einen Text oder null"},
        {head + R"("documents":[{}],"activeDocument":1})", "activeDocument: kein Dokument 1 (die Sitzung hat 1)"},
        {head + R"("activeDocument":-1})", "activeDocument: erwartet eine ganze Zahl"},
        {head + R"("documents":[{"currentSheet":"X","sheets":[{"name":"B"}]}]})",
         "documents[0].currentSheet: kein Blatt namens \"X\""},
        {head + R"("documents":[{"sheets":[{"name":"B"},{"name":"B"}]}]})",
         "documents[0].sheets[1].name: ein zweites Blatt"},
        {head + R"("documents":[{"sheets":[{"name":"B"}]}],"selection":[{"type":"NOTE","name":"x@B"}]})",
         "selection[0]: kein NOTE namens \"x@B\""},
        {head + R"("selection":[{"type":"SHEET"}]})", "selection[0].name: fehlt"},
        {head + R"("faults":[{"member":"GetText","effect":"explode"}]})", "faults[0].effect: erwartet \"error\""},
        {head + R"("faults":[{"member":"GetText","occurrence":0,"effect":"error"}]})", "faults[0].occurrence"},
        {head + R"("faults":[{"effect":"disconnect"}]})", "faults[0].afterCalls: fehlt"},
        {head + R"("application":{"toggles":{"x":true}}})", "application.toggles.x"},
        {head + R"("documents":[{"textFormats":{"5":{"charHeight":-1}}}]})", "documents[0].textFormats.5.charHeight"},
        {head + R"("files":{"a":"part"}})", "files.a: erwartet eine ganze Zahl"},
        {std::string(5000, '[') + std::string(5000, ']'), "Ebenen verschachtelt"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        try
        {
            (void)SimSession::Parse(c.file);
            ADD_FAILURE() << "accepted";
        }
        catch (const SessionFileError& e)
        {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
    }
}

// Every damaged copy of a good file is either refused with SessionFileError or read; what is read
// writes back into a file that reads again.
TEST(SimSessionFile, DamagedFilesAreRefusedOrReadNeverMore)
{
    const std::string good = kWelle;
    std::vector<std::string> damaged;
    for (std::size_t length = 0; length < good.size(); length += 7)
        damaged.push_back(good.substr(0, length));
    for (std::size_t at = 0; at < good.size(); at += 3)
        for (const char* with : {"\"", "1", "{", "]", "null", "\xff", "-1e999", "[]"})
            damaged.push_back(good.substr(0, at) + with + good.substr(at + 1));
    std::size_t read = 0;
    for (const auto& file : damaged)
    {
        try
        {
            const auto session = SimSession::Parse(file);
            ++read;
            EXPECT_NO_THROW((void)SimSession::Parse(session->Serialize())) << file;
        }
        catch (const SessionFileError&)
        {
        }
    }
    EXPECT_GT(read, 0u);
}

TEST(SimSessionFile, LoadNamesAFileItCannotRead)
{
    try
    {
        (void)SimSession::Load("/nonexistent/session.json");
        ADD_FAILURE() << "accepted";
    }
    catch (const SessionFileError& e)
    {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/session.json"), std::string::npos);
    }
}

TEST(SimSessionFile, SaveReplacesTheFileWholeOrLeavesItAlone)
{
    const auto folder = std::filesystem::temp_directory_path() / ("glm-save-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto file = folder / "sitzung.json";
    {
        std::ofstream(file) << std::string(100000, 'x'); // longer than the session: no tail may remain
    }
    const auto session = SimSession::Parse(kWelle);
    session->Save(file);
    EXPECT_EQ(SimSession::Load(file)->Serialize(), session->Serialize());

    // A folder in the file's place cannot be replaced: refused, the folder kept, no temporary left.
    const auto blocked = folder / "ordner.json";
    std::filesystem::create_directories(blocked / "inhalt");
    EXPECT_THROW(session->Save(blocked), SessionFileError);
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inhalt"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
    std::filesystem::remove_all(folder);
}

} // namespace
