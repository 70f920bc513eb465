#include "drawing/previous_output_removal.h"

#include "drawing/sheet_scan.h"
#include "tests/drawing/sim_run.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace
{

using drawing_tests::Json;
using drawing_tests::SimRun;
using testing_support::NoteJson;
using testing_support::RaSymbol;
using testing_support::SessionJson;
using testing_support::SheetJson;

using Names = std::vector<std::wstring>;

Json Selected(const std::string& type, const std::string& name)
{
    return Json{{"type", type}, {"name", name}};
}

/// Blatt1 with an earlier row and the user's own symbol and notes; Blatt2 with a row of its own.
Json SheetsWithEarlierRows(const std::vector<std::string>& notesOnBlatt1, const Json& extra = Json::object())
{
    std::vector<Json> notes;
    for (const auto& name : notesOnBlatt1)
        notes.push_back(NoteJson(name, name == "glmLNote" ? "(" : name == "glmRNote" ? ")" : "Hinweis"));
    const Json blatt1 = SheetJson(
        "Blatt1",
        {RaSymbol("glmSymbol99", "6,3"), RaSymbol("Oberfl\u00e4chensymbol1", "3,2"), RaSymbol("glmSymbol01", "3,2")},
        notes);
    const Json blatt2 =
        SheetJson("Blatt2", {RaSymbol("glmSymbol99", "6,3")}, {NoteJson("glmLNote", "("), NoteJson("glmRNote", ")")});
    return SessionJson({blatt1, blatt2}, extra);
}

/// Scans (which collects the earlier symbols) and removes; the removal's result.
bool ScanAndRemove(SimRun& r)
{
    drawing::ScanSheet(r.work);
    EXPECT_FALSE(r.cc.IsErr());
    return drawing::RemovePrevious(r.work);
}

TEST(RemovePrevious, DeletesTheEarlierRowOfThisSheetOnly)
{
    SimRun r(SheetsWithEarlierRows({"glmLNote", "DetailItem1", "glmRNote"}));
    EXPECT_TRUE(ScanAndRemove(r));

    EXPECT_FALSE(r.cc.IsErr());
    EXPECT_EQ(r.SymbolNames(0), (Names{L"Oberfl\u00e4chensymbol1"}));
    EXPECT_EQ(r.NoteNames(0), (Names{L"DetailItem1"}));
    EXPECT_EQ(r.SymbolNames(1), (Names{L"glmSymbol99"}));
    EXPECT_EQ(r.NoteNames(1), (Names{L"glmLNote", L"glmRNote"}));
}

TEST(RemovePrevious, NeverDeletesWhatTheUserHadSelected)
{
    // Two user objects selected: the host counts selection indices from 1, so both must be deselected
    // before the notes are picked, whichever of them is found.
    const struct
    {
        const char* what;
        std::vector<std::string> notes;
        Names notesLeft;
    } cases[] = {
        {"both notes", {"glmLNote", "glmRNote", "DetailItem1", "DetailItem2"}, {L"DetailItem1", L"DetailItem2"}},
        {"only the right note", {"glmRNote", "DetailItem1", "DetailItem2"}, {L"DetailItem1", L"DetailItem2"}},
        {"only the left note", {"glmLNote", "DetailItem1", "DetailItem2"}, {L"DetailItem1", L"DetailItem2"}},
        {"no notes", {"DetailItem1", "DetailItem2"}, {L"DetailItem1", L"DetailItem2"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Json selection =
            Json::array({Selected("NOTE", "DetailItem1@Blatt1"), Selected("SFSYMBOL", "Oberfl\u00e4chensymbol1@Blatt1"),
                         Selected("NOTE", "DetailItem2@Blatt1")});
        SimRun r(SheetsWithEarlierRows(c.notes, {{"selection", selection}}));
        EXPECT_TRUE(ScanAndRemove(r));
        EXPECT_EQ(r.NoteNames(0), c.notesLeft);
        EXPECT_EQ(r.SymbolNames(0), (Names{L"Oberfl\u00e4chensymbol1"}));
    }
}

TEST(RemovePrevious, NothingEarlierNothingDeleted)
{
    SimRun r(
        SessionJson({SheetJson("Blatt1", {RaSymbol("Oberfl\u00e4chensymbol1", "3,2")}, {NoteJson("DetailItem1", "x")})},
                    {{"selection", Json::array({Selected("NOTE", "DetailItem1@Blatt1")})}}));
    EXPECT_TRUE(ScanAndRemove(r));
    EXPECT_EQ(r.Calls("DeleteSelection"), 0);
    EXPECT_EQ(r.SymbolNames(0), (Names{L"Oberfl\u00e4chensymbol1"}));
    EXPECT_EQ(r.NoteNames(0), (Names{L"DetailItem1"}));
    EXPECT_FALSE(r.cc.IsErr());
}

TEST(RemovePrevious, CallsEachHostMemberAsOftenAsTheRemovalNeeds)
{
    SimRun r(SheetsWithEarlierRows({"glmLNote", "glmRNote", "DetailItem1"},
                                   {{"selection", Json::array({Selected("NOTE", "DetailItem1@Blatt1")})}}));
    drawing::ScanSheet(r.work);
    r.Rebase();

    drawing::RemovePrevious(r.work);

    const std::map<std::string, std::int64_t> expected = {
        {"SelectionManager", 1}, {"GetSelectedObjectCount2", 1}, {"DeSelect2", 1},     {"Extension", 2},
        {"SelectByID", 2},       {"DeleteSelection", 2},         {"GetAnnotation", 2}, {"Select2", 2},
    };
    std::int64_t total = 0;
    for (const auto& [member, count] : expected)
    {
        SCOPED_TRACE(member);
        EXPECT_EQ(r.Calls(member), count);
        total += count;
    }
    EXPECT_EQ(r.CallsSinceAttached(), total);
}

TEST(RemovePrevious, AFailureEndsTheRemovalWithItsMessage)
{
    const struct
    {
        const char* member;
        Names symbolsLeft;
        Names notesLeft;
        const wchar_t* message;
    } cases[] = {
        // A failure while removing the notes leaves the earlier symbols as well.
        {"DeleteSelection",
         {L"glmSymbol99", L"Oberfl\u00e4chensymbol1", L"glmSymbol01"},
         {L"glmLNote", L"glmRNote"},
         drawing::kTextPreviousNotRemoved},
        {"SelectByID",
         {L"glmSymbol99", L"Oberfl\u00e4chensymbol1", L"glmSymbol01"},
         {L"glmLNote", L"glmRNote"},
         drawing::kTextPreviousNotRemoved},
        // The notes are deleted by then.
        {"Select2",
         {L"glmSymbol99", L"Oberfl\u00e4chensymbol1", L"glmSymbol01"},
         {},
         drawing::kTextPreviousPartlyRemoved},
        // The scan asks each of the three symbols for its annotation; the fourth call is the removal's
        // first. An earlier symbol without one ends the removal like a failing call: no symbol is deleted.
        {"GetAnnotation",
         {L"glmSymbol99", L"Oberfl\u00e4chensymbol1", L"glmSymbol01"},
         {},
         drawing::kTextPreviousPartlyRemoved},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.member);
        const bool annotation = std::string(c.member) == "GetAnnotation";
        SimRun r(testing_support::WithFaults(
            SheetsWithEarlierRows({"glmLNote", "glmRNote"}),
            {testing_support::Fault(c.member, annotation ? 4 : 1, annotation ? "nothing" : "error")}));
        EXPECT_FALSE(ScanAndRemove(r));
        EXPECT_EQ(r.cc.Description(), c.message);
        EXPECT_EQ(r.SymbolNames(0), c.symbolsLeft);
        EXPECT_EQ(r.NoteNames(0), c.notesLeft);
    }
}

} // namespace
