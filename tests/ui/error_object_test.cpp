#include "ui/error_object.h"

#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using testing_support::RecordingMessageWindow;
using ui::ErrorObject;

constexpr int kProgramIcon = 1;

TEST(ErrorObject, LastRecordedErrorWins)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.eNoDoc();
    cc.eNoDRW();
    EXPECT_EQ(cc.Description(), L"Kein Zeichnung ge\u00f6ffnet.");
    EXPECT_EQ(cc.Code(), ErrorObject::kShownError);
    cc.eMisc(L"Schriftart(en) nicht gefunden, bitte die Konfiguration pr\u00fcfen !");
    EXPECT_EQ(cc.Description(), L"Schriftart(en) nicht gefunden, bitte die Konfiguration pr\u00fcfen !");
}

TEST(ErrorObject, EveryMemberStoresItsTextAndCode)
{
    struct Case
    {
        std::function<void(ErrorObject&)> raise;
        std::wstring text;
        std::int32_t code;
    };
    const std::vector<Case> cases = {
        {[](ErrorObject& cc) { cc.eNoIV(); }, L"Keine laufende Inventor-Sitzung gefunden.", 1},
        {[](ErrorObject& cc) { cc.eNoSE(); }, L"Keine laufende SolidEdge-Sitzung gefunden.", 1},
        {[](ErrorObject& cc) { cc.eNoSWX(); }, L"Keine laufende SolidWorks-Sitzung gefunden.", 1},
        {[](ErrorObject& cc) { cc.eNoDoc(); }, L"Kein Dokument ge\u00f6ffnet.", 1},
        {[](ErrorObject& cc) { cc.eNoModel(); }, L"Kein Modell ge\u00f6ffnet.", 1},
        {[](ErrorObject& cc) { cc.eNoPRT(); }, L"Kein Teil ge\u00f6ffnet.", 1},
        {[](ErrorObject& cc) { cc.eNoASM(); }, L"Kein Baugruppe ge\u00f6ffnet.", 1},
        {[](ErrorObject& cc) { cc.eNoModelView(); }, L"Zeichnung enth\u00e4lt keine Modellansichten.", 1},
        {[](ErrorObject& cc) { cc.eNoDRW(); }, L"Kein Zeichnung ge\u00f6ffnet.", 1},
        {[](ErrorObject& cc) { cc.eSaveFirst(); }, L"Dokument muss zuerst gespeichert werden.", 1},
        {[](ErrorObject& cc) { cc.eFileExists(); }, L"___", 1},
        {[](ErrorObject& cc) { cc.eBadIni(); }, L"Fehler in Konfiguration. Bitte INI-Datei pr\u00fcfen.", 1},
        {[](ErrorObject& cc) { cc.eUnknown(); }, L"Unbekannter Fehler.", 1},
        {[](ErrorObject& cc) { cc.eMisc(L""); }, L"", 1},
        {[](ErrorObject& cc) { cc.eHidden(); }, L"", 333},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        SCOPED_TRACE(i);
        RecordingMessageWindow window;
        ErrorObject cc(window);
        cases[i].raise(cc);
        EXPECT_EQ(cc.Description(), cases[i].text);
        EXPECT_EQ(cc.Code(), cases[i].code);
        EXPECT_TRUE(cc.IsErr());
    }
}

TEST(ErrorObject, NoErrIsTheNegationOfIsErrInEveryState)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    const auto check = [&cc](const char* state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(cc.NoErr(), !cc.IsErr());
    };
    check("fresh");
    EXPECT_TRUE(cc.NoErr());
    cc.eNoSWX();
    check("error pending");
    cc.eHidden();
    check("hidden error");
    EXPECT_TRUE(cc.IsErr());
    cc.DisplayError();
    check("hidden error after DisplayError");
    cc.Clear();
    check("cleared");
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(cc.Description(), L"");
    cc.eMisc(L"");
    check("empty misc text");
    EXPECT_TRUE(cc.IsErr());
}

TEST(ErrorObject, DisplayErrorShowsNothingWithoutOrWithHiddenError)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.DisplayError();
    cc.eHidden();
    cc.DisplayError();
    EXPECT_TRUE(window.shown.empty());
    EXPECT_EQ(cc.QResult, 0);
}

TEST(ErrorObject, DisplayErrorTwiceShowsTheSameMessageTwiceAndKeepsTheError)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.Init(L"SW Oberfl\u00e4chen - Assistent", kProgramIcon, true);
    cc.eNoDoc();
    cc.DisplayError();
    cc.DisplayError();
    ASSERT_EQ(window.shown.size(), 2u);
    for (const auto& shown : window.shown)
    {
        EXPECT_EQ(shown.text, L"Kein Dokument ge\u00f6ffnet.");
        EXPECT_EQ(shown.caption, L"SW Oberfl\u00e4chen - Assistent");
        EXPECT_EQ(shown.icon, kProgramIcon);
    }
    EXPECT_TRUE(cc.IsErr());
    EXPECT_EQ(cc.QResult, 1);
}

TEST(ErrorObject, ClearBetweenTwoDisplaysSuppressesTheSecond)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.eNoDoc();
    cc.DisplayError();
    cc.Clear();
    cc.DisplayError();
    EXPECT_EQ(window.shown.size(), 1u);
}

TEST(ErrorObject, InitKeepsWhatItIsNotGiven)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.Init(L"", std::nullopt, false);
    EXPECT_EQ(cc.Caption(), L"Form1");
    EXPECT_EQ(cc.Icon(), std::nullopt);

    cc.Init(L"Titel", kProgramIcon, true);
    cc.eNoDRW();
    cc.Init(L"", std::nullopt, false);
    EXPECT_EQ(cc.Caption(), L"Titel");
    EXPECT_EQ(cc.Icon(), kProgramIcon);
    EXPECT_EQ(cc.Description(), L"Kein Zeichnung ge\u00f6ffnet."); // ClearErr false keeps the error

    cc.Init(L"", std::nullopt, true);
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(cc.Caption(), L"Titel");
}

TEST(ErrorObject, CloseBoxLeavesQResultAndFallsBackToTheDesignCaption)
{
    RecordingMessageWindow window;
    window.answer = ui::ClosedBy::CloseBox;
    ErrorObject cc(window);
    cc.Init(L"Titel", kProgramIcon, true);
    cc.eNoSWX();
    cc.DisplayError();
    EXPECT_EQ(cc.QResult, 0);
    EXPECT_TRUE(cc.IsErr()); // the error state outlives the unloaded window

    cc.DisplayError();
    ASSERT_EQ(window.shown.size(), 2u);
    EXPECT_EQ(window.shown[0].caption, L"Titel");
    EXPECT_EQ(window.shown[1].caption, L"Form1");
    EXPECT_EQ(window.shown[1].icon, std::nullopt);
    EXPECT_EQ(window.shown[1].text, L"Keine laufende SolidWorks-Sitzung gefunden.");

    // "Ok" once, then the close box: QResult keeps the 1 from before.
    window.answer = ui::ClosedBy::OkButton;
    cc.DisplayError();
    window.answer = ui::ClosedBy::CloseBox;
    cc.DisplayError();
    EXPECT_EQ(cc.QResult, 1);
}

TEST(ErrorObject, Show2ModelessDoesNotWaitAndHearsOkOrTheCloseBoxLater)
{
    RecordingMessageWindow window;
    ErrorObject cc(window);
    cc.Init(L"Titel", kProgramIcon, true);
    cc.Show2(false);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].text, L"Label1");
    EXPECT_EQ(window.modalCount, 0);
    EXPECT_EQ(cc.QResult, 0);

    window.events->Command1_Click();
    EXPECT_EQ(cc.QResult, 1);
    EXPECT_EQ(cc.Caption(), L"Titel");

    cc.QResult = 0;
    cc.Show2(false);
    window.events->Form_Unload();
    EXPECT_EQ(cc.QResult, 0);
    EXPECT_EQ(cc.Caption(), L"Form1");
    EXPECT_EQ(cc.Icon(), std::nullopt);
}

class RecordingForm : public ui::Form
{
public:
    explicit RecordingForm(std::vector<std::string>& callsIn) : calls(callsIn) {}
    std::wstring Caption() override { return L"Einstellungen"; }
    void Show(bool modal) override { calls.emplace_back(modal ? "Show modal" : "Show"); }
    void Hide() override { calls.emplace_back("Hide"); }
    std::vector<std::string>& calls;
};

class FakeHostWindows : public ui::HostWindowSource
{
public:
    explicit FakeHostWindows(std::vector<std::string>& callsIn) : calls(callsIn) {}
    std::wstring GetExecutablePath() override
    {
        calls.emplace_back("GetExecutablePath");
        return L"C:\\Programme\\SOLIDWORKS";
    }
    std::intptr_t MainWindowHandle() override
    {
        calls.emplace_back("GetHWnd");
        return 0x5150;
    }
    std::vector<std::string>& calls;
};

TEST(ErrorObject, ShowFormOwnsTheWindowByA64BitHostOnlyThenMakesItTopMost)
{
    struct Case
    {
        std::int32_t binaryType;
        std::intptr_t window; ///< 0: not found by its caption
        bool modal;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {6,
         0x700,
         true,
         {"GetExecutablePath", "BinaryType", "Show", "FindWindow", "GetHWnd", "SetOwner", "SetTopMost", "Hide",
          "Show modal"}},
        {2, 0x700, false, {"GetExecutablePath", "BinaryType", "Show", "FindWindow", "GetHWnd", "SetTopMost"}},
        {0, 0, false, {"GetExecutablePath", "BinaryType", "Show", "FindWindow", "GetHWnd"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.binaryType);
        testing_support::FakePlatform platform;
        platform.binaryTypes[L"C:\\Programme\\SOLIDWORKS\\sldworks.exe"] = c.binaryType;
        if (c.window != 0)
            platform.windows[L"Einstellungen"] = c.window;
        // Form and host write into the platform's list, so that the order of all calls shows.
        RecordingForm form(platform.calls);
        FakeHostWindows host(platform.calls);
        RecordingMessageWindow window;
        ErrorObject cc(window);

        cc.ShowForm(form, c.modal, host, platform);
        EXPECT_EQ(platform.calls, c.calls);
        if (c.binaryType == 6)
        {
            const std::vector<std::pair<std::intptr_t, std::intptr_t>> owners = {{c.window, 0x5150}};
            EXPECT_EQ(platform.owners, owners);
        }
        EXPECT_TRUE(window.shown.empty());
    }
}

} // namespace
