// glattmark.exe's run in one process, with its real windows against a simulated session: the messages it can
// show, what the user does while a window of its own runs a loop, and the ends of the run the entry point
// takes over.
#include "app/frm_main.h"
#include "app/main_dialog_win32.h"
#include "config/profile_win32.h"
#include "drawing/font_check.h"
#include "drawing/sheet_scan.h"
#include "drawing/summary_insertion.h"
#include "symbols/summary_calculation.h"
#include "tests/app/app_harness.h"
#include "ui/error_object.h"
#include "ui/message_window_win32.h"
#include "ui/platform_win32.h"
#include "ui/window_win32.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

/// Every text the message window can show, from the headers that own them; a new message joins with one line.
std::vector<std::wstring> MessageTexts()
{
    return {
        ui::kTextNoIV,
        ui::kTextNoSE,
        ui::kTextNoSWX,
        ui::kTextNoDoc,
        ui::kTextNoModel,
        ui::kTextNoPRT,
        ui::kTextNoASM,
        ui::kTextNoModelView,
        ui::kTextNoDRW,
        ui::kTextSaveFirst,
        ui::kTextFileExists,
        ui::kTextBadIni,
        ui::kTextUnknown,
        drawing::kTextFontsNotFound,
        drawing::kTextTooManySymbols,
        drawing::UnknownFormatMessage(4200297),
        drawing::kTextSymbolsNotCreated,
        symbols::kTextSymbolCreationFailed,
        app::kHostFailureUntouched,
        app::kHostFailurePartly,
        app::kUnexpectedUntouched,
        app::kUnexpectedPartly,
        config::UnreachableFolderMessage(
            L"C:\\Users\\\u0141ukasz Wi\u015bniewski\\Documents\\Konstruktion\\Werkzeuge und "
            L"Vorrichtungen\\glattmark\\glattmark.ini"),
    };
}

struct NoEvents : ui::MessageWindowEvents
{
    void Command1_Click() override {}
    void Form_Unload() override {}
};

RECT ClientPlace(HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

TEST(Win32Messages, EveryMessageFitsTheMessageWindow)
{
    ui::Win32Platform platform;
    ui::Win32MessageWindow window(platform);
    NoEvents events;
    std::vector<std::wstring> texts = MessageTexts();
    // The longest first: if any does not fit, it is that one.
    std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    for (const std::wstring& text : texts)
    {
        SCOPED_TRACE(testing::PrintToString(text));
        window.ShowModeless(app::kCaption, app::kIconId, text, events);
        HWND shown = reinterpret_cast<HWND>(window.WindowHandle());
        HWND label = GetDlgItem(shown, ui::kMessageLabelId);
        ASSERT_EQ(ui::WindowText(label), text);
        const RECT place = ClientPlace(label);
        RECT needed{0, 0, place.right - place.left, 0};
        {
            const win32::WindowDc dc(label);
            const win32::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
            DrawTextW(dc.Get(), text.c_str(), -1, &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
        }
        EXPECT_LE(needed.right, place.right - place.left);
        EXPECT_LE(needed.bottom, place.bottom - place.top) << "lines cut off";
        RECT client{};
        GetClientRect(shown, &client);
        const RECT ok = ClientPlace(GetDlgItem(shown, ui::kMessageOkId));
        EXPECT_GE(ok.top, place.bottom) << "the button covers the text";
        EXPECT_LE(ok.bottom, client.bottom);
        RECT frame{};
        GetWindowRect(shown, &frame);
        EXPECT_GE(frame.top, 0);
        EXPECT_LE(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
    }
}

using Harness = app_tests::BasicAppHarness<app::Win32DialogView>;

TEST(Win32Run, ConfigurationTheProfileFunctionsCannotReachEndsWithAMessageNamingTheFolder)
{
    // The L with stroke is not in code page 1252, and a file that does not exist has no short name.
    const std::wstring ini = L"C:\\Programme\\glattmark\\glattmark\u0141.ini";
    Harness h{app_tests::DrawingSession(), nullptr, nullptr, ini};
    EXPECT_EQ(app::RunWindowsProgram(*h.run, h.view, *h.form), app::kExitErrorShown);
    ASSERT_EQ(h.Messages().size(), 1u);
    EXPECT_NE(h.Messages()[0].find(L"\"C:\\Programme\\glattmark\""), std::wstring::npos);
    EXPECT_EQ(h.session->TotalCalls(), 0);
    EXPECT_TRUE(h.profiles.reads.empty());
}

} // namespace
