#include "drawing/summary_insertion.h"

#include "drawing/sheet_scan.h"
#include "tests/drawing/sim_run.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using drawing_tests::Json;
using drawing_tests::SimRun;
using testing_support::Fault;
using testing_support::RaSymbol;
using testing_support::SessionJson;
using testing_support::SheetJson;

constexpr double kPointInMetres = 0.0254 / 72;

/// The summary (Ra 6,3 gefräst) and `listed` further records, laid out as the calculation would.
void FillRow(SimRun& r, int listed)
{
    auto& list = r.list;
    list.sheetName = L"Blatt1";
    auto& summary = list.sfsList[0];
    summary.Name = L"glmSymbol99";
    summary.sfsType = 1;
    summary.maxRoughName = L"Ra";
    summary.maxRoughStr = L"6,3";
    summary.methodeStr = L"gefr\u00e4st";
    summary.X = 0.3038;
    summary.y = 0.02;
    for (int i = 1; i <= listed; ++i)
    {
        auto& rec = list.sfsList[static_cast<std::size_t>(i)];
        rec.Name = L"glmSymbol0" + std::to_wstring(i);
        rec.sfsType = 2;
        rec.maxRoughName = L"Rz";
        rec.maxRoughStr = std::to_wstring(i) + L",6";
        rec.matTolerance = L"0,2";
        rec.maxR = L"max";
        rec.minR = L"min";
        rec.roughSpacing = L"0,8";
        rec.direction = 4;
        rec.allRound = true;
        rec.rv1 = L"r1";
        rec.rv2 = std::nullopt;
        rec.rv3 = L"r3";
        rec.X = 0.33 + 0.03 * i;
        rec.y = 0.02;
    }
    list.sfsCount = listed;
    r.layout.lBracketPos = {0.325, 0.0247};
    r.layout.rBracketPos = {0.33 + 0.03 * listed + 0.02, 0.0247};
}

const host::sim::SymbolModel& SymbolNamed(const SimRun& r, const std::wstring& name)
{
    const auto* symbol = host::sim::FindSymbol(r.Sheet(), name);
    if (symbol == nullptr)
        throw std::runtime_error("no symbol " + ui::ToUtf8(name));
    return *symbol;
}

SimRun EmptySheet(const Json& extra = Json::object(), const std::vector<Json>& faults = {})
{
    return SimRun(testing_support::WithFaults(SessionJson({SheetJson("Blatt1", {})}, extra), faults));
}

TEST(InsertSummary, WritesTheRowAtThePickPointsWithTextsNamesAndFonts)
{
    SimRun r = EmptySheet();
    FillRow(r, 1);

    ASSERT_TRUE(drawing::InsertSummary(r.work));

    EXPECT_FALSE(r.cc.IsErr());
    EXPECT_EQ(r.SymbolNames(), (std::vector<std::wstring>{L"glmSymbol99", L"glmSymbol01"}));
    const auto& summary = SymbolNamed(r, L"glmSymbol99");
    EXPECT_NEAR(summary.x, 0.3038, 1e-9);
    EXPECT_NEAR(summary.y, 0.02, 1e-9);
    EXPECT_EQ(summary.texts[2], host::OptionalText(L"gefr\u00e4st"));
    EXPECT_EQ(summary.texts[3], host::OptionalText(L"Ra"));
    EXPECT_EQ(summary.texts[4], host::OptionalText(L"6,3"));
    EXPECT_EQ(summary.textFormat.typeFaceName, L"Arial");
    EXPECT_NEAR(summary.textFormat.charHeight, 0.0035, 1e-9);

    // A copy carries every text and attribute of its record in the slot the scan reads it from.
    const auto& copy = SymbolNamed(r, L"glmSymbol01");
    EXPECT_NEAR(copy.x, 0.36, 1e-9);
    EXPECT_EQ(copy.type, 2);
    EXPECT_EQ(copy.direction, 4);
    EXPECT_TRUE(copy.allAround);
    const std::vector<host::OptionalText> expectedTexts = {L"0,2", L"",    L"Rz", L"1,6",       L"max",
                                                           L"min", L"0,8", L"r1", std::nullopt, L"r3"};
    for (std::size_t slot = 1; slot <= 10; ++slot)
    {
        SCOPED_TRACE(slot);
        EXPECT_EQ(copy.texts[slot], expectedTexts[slot - 1]);
    }

    ASSERT_EQ(r.NoteNames(), (std::vector<std::wstring>{L"glmLNote", L"glmRNote"}));
    const auto* left = host::sim::FindNote(r.Sheet(), L"glmLNote");
    const auto* right = host::sim::FindNote(r.Sheet(), L"glmRNote");
    EXPECT_EQ(left->text, L"(");
    EXPECT_EQ(right->text, L")");
    EXPECT_NEAR(left->x, 0.325, 1e-9);
    EXPECT_NEAR(right->x, 0.38, 1e-9);
    EXPECT_NEAR(right->y, 0.0247, 1e-9);
    EXPECT_EQ(left->angle, 0.0);
    EXPECT_EQ(left->textFormat.typeFaceName, L"Arial");
    EXPECT_NEAR(left->textFormat.charHeight, 10 * kPointInMetres, 1e-9);
    EXPECT_FALSE(left->textFormat.bold);
}

TEST(InsertSummary, CallsEachHostMemberAsOftenAsTheRowNeeds)
{
    SimRun r = EmptySheet();
    FillRow(r, 1);
    ASSERT_TRUE(drawing::InsertSummary(r.work));

    // Two symbols and two notes.
    const std::map<std::string, std::int64_t> expected = {
        {"GetUserPreferenceToggle", 1},
        {"SetUserPreferenceToggle", 2},
        {"ActivateSheet", 1},
        {"SelectByID", 4},
        {"Extension", 2},
        {"InsertSurfaceFinishSymbol3", 2},
        {"SetSymbol", 2},
        {"SetText", 8},
        {"GetAnnotation", 4},
        {"SetName", 4},
        {"GetTextFormat", 4},
        {"TypeFaceName", 4},
        {"CharHeight", 2},
        {"SetTextFormat", 4},
        {"InsertNote", 2},
        {"Angle", 2},
        {"SetBalloon", 2},
        {"CharHeightInPts", 2},
        {"Bold", 2},
    };
    std::int64_t total = 0;
    for (const auto& [member, count] : expected)
    {
        SCOPED_TRACE(member);
        EXPECT_EQ(r.Calls(member), count);
        total += count;
    }
    EXPECT_EQ(r.CallsSinceAttached(), total);
    // The toggle was on: switched off for the row and on again.
    EXPECT_TRUE(r.session->Model().application.toggles.at(24));
}

TEST(InsertSummary, WithoutListedSymbolsOnlyTheSummaryAndNoNotes)
{
    SimRun r = EmptySheet();
    FillRow(r, 0);
    ASSERT_TRUE(drawing::InsertSummary(r.work));
    EXPECT_EQ(r.SymbolNames(), (std::vector<std::wstring>{L"glmSymbol99"}));
    EXPECT_TRUE(r.NoteNames().empty());
    EXPECT_EQ(r.Calls("InsertNote"), 0);
}

TEST(InsertSummary, ToggleOffIsLeftAlone)
{
    SimRun r = EmptySheet({{"application", {{"toggles", {{"24", false}}}}}});
    FillRow(r, 1);
    ASSERT_TRUE(drawing::InsertSummary(r.work));
    EXPECT_EQ(r.Calls("SetUserPreferenceToggle"), 0);
    EXPECT_FALSE(r.session->Model().application.toggles.at(24));
}

TEST(InsertSummary, AnnotationsTheHostDoesNotCreateAreSkipped)
{
    const struct
    {
        const char* member;
        std::vector<std::wstring> symbols;
        std::vector<std::wstring> notes;
    } cases[] = {
        {"InsertSurfaceFinishSymbol3", {L"glmSymbol01"}, {L"glmLNote", L"glmRNote"}},
        {"InsertNote", {L"glmSymbol99", L"glmSymbol01"}, {L"glmRNote"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.member);
        SimRun r = EmptySheet({}, {Fault(c.member, 1, "nothing")});
        FillRow(r, 1);
        EXPECT_TRUE(drawing::InsertSummary(r.work));
        EXPECT_FALSE(r.cc.IsErr());
        EXPECT_EQ(r.SymbolNames(), c.symbols);
        EXPECT_EQ(r.NoteNames(), c.notes);
    }
}

TEST(InsertSummary, AFailureEndsTheRowKeepsWhatWasNamedAndRestoresTheToggle)
{
    // A failing call, or an object the row cannot do without that comes back as nothing. Calls in row order:
    // GetAnnotation and GetTextFormat once per symbol (summary, listed), then once per note. An annotation
    // that could not be named is deleted again (asked for its annotation once more when that was missing):
    // under the host's name the next run would neither find nor replace it.
    const struct
    {
        const char* what;
        std::vector<Json> faults;
        std::vector<std::wstring> symbols;
        std::vector<std::wstring> notes;
    } cases[] = {
        {"second symbol's insertion", {Fault("InsertSurfaceFinishSymbol3", 2)}, {L"glmSymbol99"}, {}},
        {"left note's balloon", {Fault("SetBalloon")}, {L"glmSymbol99", L"glmSymbol01"}, {}},
        {"summary without annotation", {Fault("GetAnnotation", 1, "nothing")}, {}, {}},
        {"listed symbol's name", {Fault("SetName", 2)}, {L"glmSymbol99"}, {}},
        {"listed symbol's format, after its name",
         {Fault("GetTextFormat", 2, "nothing")},
         {L"glmSymbol99", L"glmSymbol01"},
         {}},
        {"left note's format", {Fault("GetTextFormat", 3, "nothing")}, {L"glmSymbol99", L"glmSymbol01"}, {}},
        {"right note without annotation",
         {Fault("GetAnnotation", 4, "nothing")},
         {L"glmSymbol99", L"glmSymbol01"},
         {L"glmLNote"}},
        // The host fails the deletion too: the symbol stays, and the failure reported is the first one.
        {"summary's name, deletion failing", {Fault("SetName"), Fault("Select2")}, {L"Oberfl\u00e4chensymbol1"}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SimRun r = EmptySheet({}, c.faults);
        FillRow(r, 1);

        EXPECT_FALSE(drawing::InsertSummary(r.work));

        EXPECT_EQ(r.cc.Description(), drawing::kTextSymbolsNotCreated);
        EXPECT_EQ(r.SymbolNames(), c.symbols);
        EXPECT_EQ(r.NoteNames(), c.notes);
        EXPECT_TRUE(r.session->Model().application.toggles.at(24));
    }
}

TEST(InsertSummary, NextRunFindsTheSummaryAmongMoreThan98ListedSymbols)
{
    std::vector<Json> symbols;
    for (int i = 0; i < 99; ++i)
        symbols.push_back(RaSymbol("S" + std::to_string(i), std::to_string(i + 1)));
    SimRun first(SessionJson({SheetJson("Blatt1", symbols)}));
    drawing::ScanSheet(first.work);
    ASSERT_EQ(first.list.sfsCount, 99);
    auto& summary = first.list.sfsList[0];
    summary.Name = L"glmSymbol99";
    summary.maxRoughName = L"Ra";
    summary.maxRoughStr = L"0,4";
    ASSERT_TRUE(drawing::InsertSummary(first.work));

    SimRun second(first.session);
    drawing::ScanSheet(second.work);

    // Every copy kept its own name, so the next run takes all 100 for earlier output and the summary's
    // values as the proposal.
    EXPECT_EQ(second.list.ownSymbolCount, 100);
    EXPECT_EQ(second.list.sfsList[0].Name, L"glmSymbol99");
    EXPECT_EQ(second.list.sfsList[0].maxRoughStr, L"0,4");
    EXPECT_NE(host::sim::FindSymbol(second.Sheet(), L"glmSymbol100"), nullptr);
}

} // namespace
