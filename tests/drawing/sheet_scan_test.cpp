#include "drawing/sheet_scan.h"

#include "drawing/symbol_list_ops.h"
#include "tests/drawing/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using drawing_tests::Json;
using drawing_tests::SimRun;
using testing_support::RaSymbol;
using testing_support::SessionJson;
using testing_support::SheetJson;
using testing_support::SymbolJson;

std::vector<std::wstring> ListNames(const symbols::SymbolList& list)
{
    std::vector<std::wstring> names;
    for (std::int32_t i = 1; i <= list.sfsCount; ++i)
        names.push_back(list.sfsList[static_cast<std::size_t>(i)].Name);
    return names;
}

TEST(ScanSheet, SortsSymbolsIntoListRepeatsAndEarlierOutput)
{
    const Json view = {
        {"name", "Zeichenansicht1"},
        {"referencedModel", "C:\\Modelle\\Welle.SLDPRT"},
        {"symbols", Json::array({RaSymbol("Oberfl\u00e4chensymbol7", "1,6"), RaSymbol("glmSymbol01", "3,2")})}};
    const Json summary = SymbolJson("glmSymbol99", {{"2", "gefr\u00e4st"}, {"3", "Ra"}, {"4", "6,3"}});
    SimRun r(
        SessionJson({SheetJson("Blatt1",
                               {RaSymbol("Oberfl\u00e4chensymbol1", "3,2"), summary,
                                RaSymbol("Oberfl\u00e4chensymbol2", "3,2"), RaSymbol("Oberfl\u00e4chensymbol3", "3,2"),
                                RaSymbol("GLMSymbol05", "0,8"), RaSymbol("Oberfl\u00e4chensymbol4", "3,3")},
                               {}, {view})}));

    drawing::ScanSheet(r.work);

    const auto& list = r.list;
    EXPECT_FALSE(r.cc.IsErr());
    EXPECT_EQ(list.sheetName, L"Blatt1");
    EXPECT_EQ(list.formatIndex, 0);
    // Names are given afresh from 01, whatever the earlier output was called.
    EXPECT_EQ(ListNames(list),
              (std::vector<std::wstring>{L"glmSymbol01", L"glmSymbol02", L"glmSymbol03", L"glmSymbol04"}));
    EXPECT_EQ(list.sfsList[2].maxRoughStr, L"0,8"); // the same name in other letter case is the user's
    EXPECT_EQ(list.sfsList[3].maxRoughStr, L"3,3");
    EXPECT_EQ(list.sfsList[4].maxRoughStr, L"1,6"); // found inside the drawing view
    ASSERT_EQ(list.sfsDupCount, 2);
    EXPECT_EQ(list.sfsDupList[0].Name, L"Oberfl\u00e4chensymbol2");
    EXPECT_EQ(list.sfsDupList[1].Name, L"Oberfl\u00e4chensymbol3");
    EXPECT_NE(list.sfsDupList[0].obj, list.sfsList[1].obj);
    EXPECT_EQ(list.ownSymbolCount, 2);
    // The earlier summary is the proposal, with its name.
    EXPECT_EQ(list.sfsList[0].Name, L"glmSymbol99");
    EXPECT_EQ(list.sfsList[0].maxRoughStr, L"6,3");
    EXPECT_EQ(list.sfsList[0].methodeStr, L"gefr\u00e4st");
}

TEST(ScanSheet, EmptySheetClearsCountsAndOnlyTheSummaryName)
{
    SimRun r(SessionJson({SheetJson("Blatt1", {})}));
    auto& list = r.list;
    list.sfsCount = 3;
    list.sfsDupCount = 2;
    list.ownSymbolCount = 1;
    list.sfsList[0].Name = L"glmSymbol99";
    list.sfsList[0].maxRoughStr = L"6,3";

    drawing::ScanSheet(r.work);

    EXPECT_EQ(list.sfsCount, 0);
    EXPECT_EQ(list.sfsDupCount, 0);
    EXPECT_EQ(list.ownSymbolCount, 0);
    EXPECT_EQ(list.sfsList[0].Name, L"");
    EXPECT_EQ(list.sfsList[0].maxRoughStr, L"6,3");
}

TEST(ScanSheet, DoesNothingWhileAnErrorIsPending)
{
    SimRun r(SessionJson({SheetJson("Blatt1", {RaSymbol("Oberfl\u00e4chensymbol1", "3,2")})}));
    r.cc.eNoDRW();
    r.list.sfsList[0].Name = L"glmSymbol99";

    drawing::ScanSheet(r.work);

    EXPECT_EQ(r.list.sfsCount, 0);
    EXPECT_EQ(r.list.sfsList[0].Name, L"glmSymbol99");
    EXPECT_EQ(r.CallsSinceAttached(), 0);
    EXPECT_EQ(r.cc.Description(), ui::kTextNoDRW);
}

TEST(ScanSheet, FormatCodeOfStandardAndUserDefinedSheets)
{
    const struct
    {
        const char* what;
        std::vector<double> properties;
        std::int32_t code;
    } cases[] = {
        {"A3", {8, 8, 1, 1, 0, 0.42, 0.297}, 8},
        {"A4 portrait", {7, 7, 1, 2, 1, 0.21, 0.297}, 7},
        {"user-defined 420 x 297", {12, 12, 1, 1, 0, 0.42, 0.297}, 4200297},
        {"half rounds down to even", {12, 12, 1, 1, 0, 0.0625, 0.0005}, 625000},
        {"half rounds up to even", {12, 12, 1, 1, 0, 0.0625, 0.0015}, 625002},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Json sheet = SheetJson("Blatt1", {});
        sheet["properties"] = c.properties;
        SimRun r(SessionJson({sheet}));
        EXPECT_EQ(drawing::GetSheetFormatCode(r.work), c.code);
    }
}

TEST(ScanSheet, FindsTheFirstConfiguredFormatWithTheSheetsCode)
{
    Json sheet = SheetJson("Blatt1", {});
    sheet["properties"] = {12, 12, 1, 1, 0, 0.42, 0.297};
    SimRun r(SessionJson({sheet}));
    auto& settings = r.settings;
    settings.formatCount = 3;
    settings.formats[0] = {L"A3", 8, 0.3, 0.02};
    settings.formats[1] = {L"Sonder", 4200297, 0.3, 0.02};
    settings.formats[2] = {L"Sonder2", 4200297, 0.3, 0.02};

    drawing::ScanSheet(r.work);

    EXPECT_EQ(r.list.formatIndex, 1);
    EXPECT_FALSE(r.cc.IsErr());
}

TEST(ScanSheet, UnknownFormatIsRecordedWithItsCode)
{
    Json sheet = SheetJson("Blatt1", {RaSymbol("Oberfl\u00e4chensymbol1", "3,2")});
    sheet["properties"] = {12, 12, 1, 1, 0, 0.42, 0.297};
    SimRun r(SessionJson({sheet}));
    // Only the first formatCount entries count as configured.
    r.settings.formats[1] = {L"Sonder", 4200297, 0.3, 0.02};
    r.settings.symbolFontName = L"Keine Schrift"; // the font error is replaced by the format error

    drawing::ScanSheet(r.work);

    EXPECT_EQ(r.list.formatIndex, -1);
    EXPECT_EQ(r.cc.Description(), L"Blattformat (4200297) nicht gefunden. Bitte Konfiguration pr\u00fcfen.");
    EXPECT_EQ(r.list.sfsCount, 1); // the scan itself completed
}

/// A sheet with `distinct` different symbols, each `copies` times, and `own` symbols of earlier output.
Json CrowdedSheet(int distinct, int copies, int own)
{
    std::vector<Json> symbols;
    for (int i = 0; i < distinct; ++i)
    {
        for (int c = 0; c < copies; ++c)
            symbols.push_back(RaSymbol("S" + std::to_string(i) + "_" + std::to_string(c), std::to_string(i)));
    }
    for (int i = 0; i < own; ++i)
        symbols.push_back(RaSymbol("glmSymbol" + std::to_string(i + 1), std::to_string(i)));
    return SessionJson({SheetJson("Blatt1", symbols)});
}

TEST(ScanSheet, SheetsAtTheCapacitiesAreScannedInFull)
{
    const struct
    {
        const char* what;
        int distinct, copies, own;
    } cases[] = {{"200 distinct", 200, 1, 0}, {"201 repeats", 1, 202, 0}, {"201 earlier output", 0, 1, 201}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SimRun r(CrowdedSheet(c.distinct, c.copies, c.own));
        drawing::ScanSheet(r.work);
        EXPECT_FALSE(r.cc.IsErr());
        EXPECT_EQ(r.list.sfsCount, c.distinct);
        EXPECT_EQ(r.list.sfsDupCount, c.distinct * (c.copies - 1));
        EXPECT_EQ(r.list.ownSymbolCount, c.own);
        EXPECT_EQ(r.list.formatIndex, 0);
    }
}

TEST(ScanSheet, TooManySymbolsStopTheScanWithAMessage)
{
    const struct
    {
        const char* what;
        int distinct, copies, own;
    } cases[] = {{"201 distinct", 201, 1, 0}, {"202 repeats", 1, 203, 0}, {"202 earlier output", 0, 1, 202}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SimRun r(CrowdedSheet(c.distinct, c.copies, c.own));
        drawing::ScanSheet(r.work);
        EXPECT_EQ(r.cc.Description(), drawing::kTextTooManySymbols);
        EXPECT_LE(r.list.sfsCount, symbols::kMaxDistinct);
        EXPECT_LE(r.list.sfsDupCount, symbols::kListCapacity);
        EXPECT_LE(r.list.ownSymbolCount, symbols::kListCapacity);
        // Stopped: the format is not looked up, so nothing replaces the message.
        EXPECT_EQ(r.Calls("GetProperties"), 0);
    }
}

} // namespace
