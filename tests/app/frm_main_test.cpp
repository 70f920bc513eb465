#include "app/frm_main.h"

#include "drawing/summary_insertion.h"
#include "tests/app/app_harness.h"
#include "ui/error_object.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{

using app::Ending;
using app_tests::AppHarness;
using app_tests::DrawingSession;
using app_tests::Json;
using host::sim::FindSymbol;
using testing_support::Fault;
using testing_support::NoteJson;
using testing_support::SymbolJson;
using testing_support::WithFaults;

/// Everything the user could see of a sheet: names, texts and places of its symbols and notes.
std::wstring SheetPicture(const host::sim::SheetModel& sheet)
{
    std::wostringstream out;
    auto symbols = [&out](const std::vector<host::sim::SymbolModel>& list) {
        for (const auto& s : list)
        {
            out << s.name << L" " << s.type << L" " << s.x << L" " << s.y;
            for (const auto& t : s.texts)
                out << L"|" << t.value_or(L"<null>");
            out << L"\n";
        }
    };
    auto notes = [&out](const std::vector<host::sim::NoteModel>& list) {
        for (const auto& n : list)
            out << n.name << L" " << n.text << L" " << n.x << L" " << n.y << L"\n";
    };
    symbols(sheet.symbols);
    notes(sheet.notes);
    for (const auto& v : sheet.views)
    {
        symbols(v.symbols);
        notes(v.notes);
    }
    return out.str();
}

/// The sheet as an earlier run left it: its summary "Roh 12,5 poliert" and one listed symbol with brackets.
Json SessionWithEarlierRow()
{
    return DrawingSession({testing_support::RaSymbol("Oberfl\u00e4chensymbol1", "3,2"),
                           SymbolJson("glmSymbol99", {{"2", "poliert"}, {"4", "12,5"}}, 2, 0.23, 0.065),
                           SymbolJson("glmSymbol01", {{"3", "Ra"}, {"4", "3,2"}}, 1, 0.25, 0.065)},
                          {NoteJson("glmLNote", "(", 0.24, 0.065), NoteJson("glmRNote", ")", 0.26, 0.065)});
}

/// A drawing with one symbol whose value has a decimal point, for Normfix to correct.
Json SessionToCorrect()
{
    return DrawingSession({testing_support::RaSymbol("Oberfl\u00e4chensymbol1", "3.2")});
}

TEST(FrmMainStartUp, ShowsTheProposalTopMost)
{
    AppHarness h{DrawingSession()};
    h.form->Form_Load();

    ASSERT_TRUE(h.view.shown.has_value());
    EXPECT_FALSE(h.form->Ended());
    EXPECT_EQ(h.form->RunEnding(), Ending::None);
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(h.view.shown->caption, app::kCaption);
    EXPECT_TRUE(h.view.shown->visible);
    EXPECT_EQ(h.view.shown->stdSFSSymbol.text, L"Spanend");
    EXPECT_EQ(h.view.shown->stdSFSRough.text, L"3,2");
    EXPECT_EQ(h.view.shown->stdSFSMet.text, L"gedreht");
    EXPECT_EQ(h.platform.topMostHandles, std::vector<std::intptr_t>{h.view.handle});
    EXPECT_EQ(h.run->cc.Caption(), app::kCaption);
    EXPECT_EQ(h.run->cc.Icon(), ui::IconId(app::kIconId));
}

TEST(FrmMainStartUp, SecondRunProposesTheEarlierSummary)
{
    AppHarness h{SessionWithEarlierRow()};
    h.form->Form_Load();

    ASSERT_TRUE(h.view.shown.has_value());
    EXPECT_EQ(h.view.shown->stdSFSSymbol.text, L"Roh");
    EXPECT_EQ(h.view.shown->sfsPicture, 103);
    EXPECT_EQ(h.view.shown->stdSFSRough.text, L"12,5");
    EXPECT_EQ(h.view.shown->stdSFSMet.text, L"poliert");
}

TEST(FrmMainStartUp, EndingsBeforeTheDialog)
{
    struct Case
    {
        const char* what;
        Json session;
        std::wstring message;
        bool badIni = false;
    };
    Json part = DrawingSession();
    part["documents"][0]["type"] = 1;
    Json userDefined = DrawingSession();
    userDefined["documents"][0]["sheets"][0]["properties"] = {12, 12, 1, 1, 0, 0.42, 0.297};
    const Case cases[] = {
        {"no session", testing_support::SessionJson({}, {{"running", false}}), ui::kTextNoSWX},
        {"no document", testing_support::SessionJson({}, {{"activeDocument", nullptr}}), ui::kTextNoDoc},
        {"a part", part, ui::kTextNoDRW},
        {"user-defined sheet not configured", userDefined,
         L"Blattformat (4200297) nicht gefunden. Bitte Konfiguration pr\u00fcfen."},
        {"count beyond the list", DrawingSession(), ui::kTextBadIni, true},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        AppHarness h{c.session};
        if (c.badIni)
            h.Ini(L"RoughList", L"Count", L"22");
        h.form->Form_Load();

        EXPECT_EQ(h.Messages(), std::vector<std::wstring>{c.message});
        ASSERT_FALSE(h.messageWindow.shown.empty());
        EXPECT_EQ(h.messageWindow.shown[0].caption, app::kCaption);
        EXPECT_FALSE(h.view.shown.has_value());
        EXPECT_EQ(h.platform.setTopMostCalls, 0);
        EXPECT_TRUE(h.form->Ended());
        EXPECT_EQ(h.form->RunEnding(), Ending::Error);
        EXPECT_EQ(h.run->swAcc, nullptr);
        EXPECT_EQ(h.session->Rebuilds(), 0);
        if (c.badIni || c.session["running"] == false)
        {
            EXPECT_EQ(h.session->TotalCalls(), 0) << "nothing is asked of the host after the first error";
        }
    }
}

TEST(FrmMainStartUp, HostFailureDuringTheScanEndsWithTheMessageOfLastResort)
{
    AppHarness h{WithFaults(DrawingSession({}), {Fault("GetText", 2)})};
    h.form->Form_Load();

    EXPECT_EQ(h.Messages(), std::vector<std::wstring>{app::kHostFailureUntouched});
    EXPECT_FALSE(h.view.shown.has_value());
    EXPECT_EQ(h.form->RunEnding(), Ending::Error);
    EXPECT_EQ(h.run->swAcc, nullptr);
}

TEST(FrmMainStartUp, DialogThatCannotBeShownEndsTheRun)
{
    AppHarness h{DrawingSession()};
    h.view.failShow = true;
    h.form->Form_Load();

    EXPECT_EQ(h.Messages(), std::vector<std::wstring>{app::kUnexpectedUntouched});
    EXPECT_TRUE(h.form->Ended());
    EXPECT_EQ(h.form->RunEnding(), Ending::Error);
}

TEST(FrmMainKind, TypingIntoTheKindBoxBringsBackTheChosenKind)
{
    AppHarness h{DrawingSession()};
    h.form->Form_Load();
    h.form->ChooseKind(2);
    EXPECT_EQ(h.form->symbolKind, 2);
    EXPECT_EQ(h.form->State().sfsPicture, 103);

    for (const wchar_t* typed : {L"x", L"", L"Spanend", L"Grundlegend "})
    {
        SCOPED_TRACE(::testing::Message() << "typed \"" << std::wstring(typed).size() << "\" characters");
        h.form->TypeKindText(typed);
        EXPECT_EQ(h.form->State().stdSFSSymbol.text, L"Roh");
        EXPECT_EQ(h.form->State().stdSFSSymbol.listIndex, 2);
        EXPECT_EQ(h.form->State().sfsPicture, 103);
        EXPECT_EQ(h.view.last.stdSFSSymbol.text, L"Roh");
    }

    // Entries that do not exist are not chosen.
    h.form->ChooseKind(3);
    h.form->ChooseKind(-1);
    EXPECT_EQ(h.form->symbolKind, 2);
    EXPECT_EQ(h.form->State().stdSFSSymbol.text, L"Roh");
}

TEST(FrmMainWork, OkWritesTheRowRebuildsOnceAndEnds)
{
    AppHarness h{DrawingSession()};
    h.form->Form_Load();
    h.form->cmd_Ok_Click();

    EXPECT_TRUE(h.form->Ended());
    EXPECT_EQ(h.form->RunEnding(), Ending::Ok);
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(h.session->Rebuilds(), 1);
    EXPECT_FALSE(h.view.visible);
    EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
    const auto* summary = FindSymbol(h.Sheet(), L"glmSymbol99");
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->type, 1);
    EXPECT_EQ(summary->texts[4].value_or(L"<null>"), L"3,2");
    EXPECT_NE(FindSymbol(h.Sheet(), L"glmSymbol01"), nullptr);

    // The run is over: nothing reacts any more.
    h.form->cmd_Ok_Click();
    h.form->cmd_Cancel_Click();
    EXPECT_EQ(h.session->Rebuilds(), 1);
    EXPECT_EQ(h.form->RunEnding(), Ending::Ok);
}

TEST(FrmMainWork, SummaryRecordTakesTheDialogAsTyped)
{
    struct Case
    {
        std::int32_t kind;
        const wchar_t* rough;
        const wchar_t* method;
        const wchar_t* roughName;
    };
    const Case cases[] = {
        {0, L"4,5", L"gel\u00e4ppt", L"Ra"}, // values that are not in the lists
        {1, L"", L"", L"Ra"},
        {2, L"25", L"gegossen", L""}, // "Roh" carries no roughness name
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind);
        AppHarness h{DrawingSession()};
        h.form->Form_Load();
        h.form->ChooseKind(c.kind);
        h.form->SetRoughText(c.rough);
        h.form->SetMethodText(c.method);
        h.form->cmd_Ok_Click();

        const auto& summary = h.run->list.sfsList[0];
        EXPECT_EQ(summary.sfsType, c.kind);
        EXPECT_EQ(summary.maxRoughStr, c.rough);
        EXPECT_EQ(summary.methodeStr, c.method);
        EXPECT_EQ(summary.maxRoughName, c.roughName);
        EXPECT_EQ(summary.Name, L"glmSymbol99");
        EXPECT_EQ(h.form->RunEnding(), Ending::Ok);
    }
}

TEST(FrmMainWork, NormFixRunsOnlyWhenCheckedAndEnabledAndReportsWhenAsked)
{
    struct Case
    {
        const char* what;
        const wchar_t* enabled;
        bool locked; ///< a super-user list that does not name the user
        bool uncheck;
        const wchar_t* feedback;
        const wchar_t* textAfter;
        bool reported;
    };
    const Case cases[] = {
        {"checked, with report", L"1", false, false, L"1", L"3,2", true},
        {"checked, no report asked", L"1", false, false, L"0", L"3,2", false},
        {"unchecked", L"1", false, true, L"1", L"3.2", false},
        {"locked box cannot be unchecked", L"1", true, true, L"1", L"3,2", true},
        {"hidden box stays checked, but Normfix is off", L"0", false, false, L"1", L"3.2", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        AppHarness h{SessionToCorrect()};
        h.Ini(L"NormFix", L"enabled", c.enabled);
        h.Ini(L"NormFix", L"feedback", c.feedback);
        if (c.locked)
        {
            h.Ini(L"NormFix", L"SuperUser", L"1");
            h.Ini(L"NormFix", L"user01", L"chef");
        }
        h.form->Form_Load();
        if (c.uncheck)
            h.form->SetNormFix(false);
        h.form->cmd_Ok_Click();

        EXPECT_EQ(h.form->RunEnding(), Ending::Ok);
        const auto* original = FindSymbol(h.Sheet(), L"Oberfl\u00e4chensymbol1");
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(original->texts[4].value_or(L"<null>"), c.textAfter);
        ASSERT_EQ(h.reportBox.shown.size(), c.reported ? 1u : 0u);
        if (c.reported)
        {
            EXPECT_EQ(h.reportBox.shown[0].text, L"Normfix: 1 Symbol(e) korrigiert.");
            EXPECT_EQ(h.reportBox.shown[0].caption, app::kCaption);
        }
    }
}

TEST(FrmMainWork, UserInputDuringTheWorkSequenceIsIgnored)
{
    AppHarness h{SessionToCorrect()};
    h.Ini(L"NormFix", L"feedback", L"1");
    h.form->Form_Load();
    h.reportBox.whileShown = [&h] {
        h.form->cmd_Ok_Click();
        h.form->ChooseKind(0);
        h.form->Form_Unload();
        h.form->cmd_Cancel_Click();
    };
    h.form->cmd_Ok_Click();

    EXPECT_EQ(h.reportBox.shown.size(), 1u); // the Normfix report, once
    EXPECT_EQ(h.session->Rebuilds(), 1);
    EXPECT_EQ(h.form->RunEnding(), Ending::Ok);
    EXPECT_EQ(h.run->list.sfsList[0].sfsType, 1);
}

TEST(FrmMainWork, CancelAndCloseLeaveTheDrawingUntouched)
{
    for (const bool close : {false, true})
    {
        SCOPED_TRACE(close ? "close box" : "Abbruch");
        AppHarness h{SessionWithEarlierRow()};
        const auto before = SheetPicture(h.Sheet());
        h.form->Form_Load();
        ASSERT_TRUE(h.view.shown.has_value());
        if (close)
            h.form->Form_Unload();
        else
            h.form->cmd_Cancel_Click();

        EXPECT_EQ(SheetPicture(h.Sheet()), before);
        EXPECT_EQ(h.session->Rebuilds(), 0);
        EXPECT_TRUE(h.Messages().empty());
        EXPECT_EQ(h.form->RunEnding(), close ? Ending::Close : Ending::Cancel);
        // Under COM a reference kept past the run's end would outlive the apartment.
        EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
    }
}

TEST(FrmMainWork, PendingErrorIsShownByAbbruchButNotByTheCloseBox)
{
    AppHarness cancel{DrawingSession()};
    cancel.form->Form_Load();
    cancel.run->cc.eMisc(L"offen");
    cancel.form->cmd_Cancel_Click();
    EXPECT_EQ(cancel.Messages(), std::vector<std::wstring>{L"offen"});
    EXPECT_EQ(cancel.form->RunEnding(), Ending::Error);

    AppHarness close{DrawingSession()};
    close.form->Form_Load();
    close.run->cc.eMisc(L"offen");
    close.form->Form_Unload();
    EXPECT_TRUE(close.Messages().empty());
    EXPECT_EQ(close.form->RunEnding(), Ending::Close);
}

TEST(FrmMainWork, ShutDownCalledFromOutsideEndsTheRunWithoutThrowing)
{
    AppHarness h{DrawingSession()};
    h.form->Form_Load();
    h.form->ShutDown();
    EXPECT_TRUE(h.form->Ended());
    EXPECT_EQ(h.form->RunEnding(), Ending::Cancel);
    EXPECT_FALSE(h.view.visible);
    h.form->cmd_Ok_Click();
    EXPECT_EQ(h.session->Rebuilds(), 0);
}

TEST(FrmMainWork, FailureRecordedBelowIsShownAsRecorded)
{
    AppHarness h{WithFaults(DrawingSession({}), {Fault("InsertSurfaceFinishSymbol3", 2)})};
    h.form->Form_Load();
    h.form->cmd_Ok_Click();

    EXPECT_EQ(h.Messages(), std::vector<std::wstring>{drawing::kTextSymbolsNotCreated});
    EXPECT_EQ(h.form->RunEnding(), Ending::Error);
    EXPECT_EQ(h.session->Rebuilds(), 0);
}

TEST(FrmMainWork, HostFailureNobodyRecordedEndsWithTheMessageOfLastResort)
{
    AppHarness h{WithFaults(DrawingSession({}), {Fault("EditRebuild")})};
    h.form->Form_Load();
    h.form->cmd_Ok_Click();

    EXPECT_EQ(h.Messages(), std::vector<std::wstring>{app::kHostFailurePartly});
    EXPECT_EQ(h.form->RunEnding(), Ending::Error);
    EXPECT_NE(FindSymbol(h.Sheet(), L"glmSymbol99"), nullptr); // what was written stays
    EXPECT_EQ(h.run->swAcc, nullptr);
}

TEST(FrmMainWork, AHostBusyWithinTheLimitChangesNothingBeyondItEndsWithTheBusyMessage)
{
    std::int64_t startUp = 0;
    Json finished;
    {
        AppHarness h{SessionWithEarlierRow()};
        h.form->Form_Load();
        startUp = h.session->TotalCalls();
        h.form->cmd_Ok_Click();
        finished = Json::parse(h.session->Serialize());
    }
    struct Case
    {
        const char* name;
        std::int64_t afterCalls;
        double seconds; ///< against BusyTimeout 3
        Ending ending;
        const wchar_t* message; ///< nullptr: none
    };
    const Case cases[] = {
        {"briefly in the scan", startUp / 2, 2.5, Ending::Ok, nullptr},
        {"long in the scan", startUp / 2, 3, Ending::Error, app::kHostBusyUntouched},
        {"long in the row", startUp + 20, 60, Ending::Error, app::kHostBusyPartly},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        AppHarness h{WithFaults(SessionWithEarlierRow(), {testing_support::Busy(c.afterCalls, c.seconds)})};
        h.Ini(L"main", L"BusyTimeout", L"3");
        h.form->Form_Load();
        h.form->cmd_Ok_Click();

        EXPECT_EQ(h.form->RunEnding(), c.ending);
        EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
        if (c.message == nullptr)
        {
            EXPECT_TRUE(h.messageWindow.shown.empty());
            Json after = Json::parse(h.session->Serialize());
            after.erase("faults");
            EXPECT_EQ(after, finished);
        }
        else
        {
            ASSERT_EQ(h.messageWindow.shown.size(), 1u);
            EXPECT_EQ(h.messageWindow.shown[0].text, c.message);
        }
    }
}

TEST(FrmMainWork, HostGoingAwayAtAnyCallEndsWithExactlyOneMessage)
{
    std::int64_t total = 0;
    {
        AppHarness h{SessionWithEarlierRow()};
        h.form->Form_Load();
        h.form->cmd_Ok_Click();
        ASSERT_EQ(h.form->RunEnding(), Ending::Ok);
        total = h.session->TotalCalls();
    }
    ASSERT_GT(total, 0);
    for (std::int64_t after = 0; after < total; ++after)
    {
        SCOPED_TRACE(::testing::Message() << "disconnect after " << after << " of " << total << " calls");
        AppHarness h{WithFaults(SessionWithEarlierRow(), {testing_support::Disconnect(after)})};
        h.form->Form_Load();
        h.form->cmd_Ok_Click();

        EXPECT_TRUE(h.form->Ended());
        EXPECT_EQ(h.form->RunEnding(), Ending::Error);
        EXPECT_EQ(h.messageWindow.shown.size(), 1u);
        EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
        EXPECT_FALSE(h.view.visible);
    }
}

} // namespace
