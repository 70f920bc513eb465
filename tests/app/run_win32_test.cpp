// glattmark.exe's run in one process, with its real windows against a simulated session: the messages it can
// show, what the user does while a window of its own runs a loop, and the ends of the run the entry point
// takes over.
#include "app/frm_main.h"
#include "app/main_dialog_win32.h"
#include "config/profile_win32.h"
#include "drawing/font_check.h"
#include "drawing/previous_output_removal.h"
#include "drawing/sheet_scan.h"
#include "drawing/summary_insertion.h"
#include "symbols/summary_calculation.h"
#include "tests/app/app_harness.h"
#include "tests/support/failing_allocations.h"
#include "ui/error_object.h"
#include "ui/message_window_win32.h"
#include "ui/platform_win32.h"
#include "ui/window_win32.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
        drawing::kTextTooManySymbolsInDrawing,
        drawing::UnknownFormatMessage(4200297),
        drawing::kTextSymbolsNotCreated,
        drawing::kTextPreviousNotRemoved,
        drawing::kTextPreviousPartlyRemoved,
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

/// The message windows of glattmark.exe.
struct RealWindows
{
    ui::Win32Platform platform;
    ui::Win32MessageWindow messageWindow{platform};
    ui::Win32ReportBox reportBox;
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

/// Acts from inside the message loop of whatever window of this thread runs one, as the user or another
/// program would: every visible top-level window of the thread is handed to act once, on the timer's next
/// tick after it appears.
class FromInsideTheLoops
{
public:
    explicit FromInsideTheLoops(std::function<void(HWND window)> act) : m_act(std::move(act))
    {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 20, Tick);
    }
    FromInsideTheLoops(const FromInsideTheLoops&) = delete;
    FromInsideTheLoops& operator=(const FromInsideTheLoops&) = delete;
    ~FromInsideTheLoops()
    {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_current == nullptr)
            return;
        std::vector<HWND> windows;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM list) {
                if (IsWindowVisible(window))
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows)
        {
            if (std::find(s_current->m_seen.begin(), s_current->m_seen.end(), window) != s_current->m_seen.end())
                continue;
            s_current->m_seen.push_back(window);
            s_current->m_act(window);
        }
    }

    static inline FromInsideTheLoops* s_current = nullptr;
    std::function<void(HWND window)> m_act;
    std::vector<HWND> m_seen;
    UINT_PTR m_timer = 0;
};

/// "Ok" and "Abbruch" of the dialog pressed again, posted as a second click or another program would.
void PressOkAndCancel(HWND dialog)
{
    for (int id : {app::kIdOk, app::kIdCancel})
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::size_t RowsOnTheSheet(const Harness& h)
{
    return static_cast<std::size_t>(std::count_if(h.Sheet().symbols.begin(), h.Sheet().symbols.end(),
                                                  [](const auto& symbol) { return symbol.name == L"glmSymbol99"; }));
}

TEST(Win32Reentrancy, OkWhileTheNormfixReportIsUpStartsNoSecondRun)
{
    RealWindows real;
    Harness h{app_tests::DrawingSession({testing_support::RaSymbol("Oberfl\u00e4chensymbol1", "3.2")}),
              &real.messageWindow, &real.reportBox};
    h.Ini(L"NormFix", L"feedback", L"1");
    HWND dialog = reinterpret_cast<HWND>(h.view.WindowHandle());
    int reports = 0;
    const FromInsideTheLoops user([dialog, &reports](HWND window) {
        if (ClassOf(window) != L"#32770")
            return;
        ++reports;
        PressOkAndCancel(dialog);
        PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    });
    h.form->Form_Load();
    SendMessageW(GetDlgItem(dialog, app::kIdOk), BM_CLICK, 0, 0);

    EXPECT_EQ(h.form->RunEnding(), app::Ending::Ok);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(h.session->Rebuilds(), 1);
    EXPECT_EQ(RowsOnTheSheet(h), 1u);
}

TEST(Win32Reentrancy, OkWhileTheMessageWindowIsUpStartsNoSecondRun)
{
    RealWindows real;
    Harness h{testing_support::WithFaults(app_tests::DrawingSession(),
                                          {testing_support::Fault("InsertSurfaceFinishSymbol3")}),
              &real.messageWindow, &real.reportBox};
    HWND dialog = reinterpret_cast<HWND>(h.view.WindowHandle());
    std::vector<std::wstring> shown;
    const FromInsideTheLoops user([&](HWND window) {
        if (ClassOf(window) != ui::kMessageWindowClass)
            return;
        shown.push_back(ui::WindowText(GetDlgItem(window, ui::kMessageLabelId)));
        PressOkAndCancel(dialog);
        PostMessageW(GetDlgItem(window, ui::kMessageOkId), BM_CLICK, 0, 0);
    });
    h.form->Form_Load();
    SendMessageW(GetDlgItem(dialog, app::kIdOk), BM_CLICK, 0, 0);

    EXPECT_EQ(h.form->RunEnding(), app::Ending::Error);
    EXPECT_EQ(shown, std::vector<std::wstring>{drawing::kTextSymbolsNotCreated});
    EXPECT_EQ(h.session->CallCount("InsertSurfaceFinishSymbol3"), 1);
    EXPECT_EQ(h.session->Rebuilds(), 0);
}

TEST(Win32Run, RequestToEndWhileTheDialogWaitsIsTheCloseBox)
{
    Harness h{app_tests::DrawingSession()};
    const FromInsideTheLoops system([&h](HWND window) {
        if (window == reinterpret_cast<HWND>(h.view.WindowHandle()))
            PostQuitMessage(0);
    });
    EXPECT_EQ(app::RunWindowsProgram(*h.run, h.view, *h.form), app::kExitClean);
    EXPECT_EQ(h.form->RunEnding(), app::Ending::Close);
    EXPECT_EQ(h.session->Rebuilds(), 0);
    EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
}

TEST(Win32Run, FailureInsideTheDialogsWindowProcedureEndsWithTheLastResort)
{
    Harness h{app_tests::DrawingSession()};
    const FromInsideTheLoops system([&h](HWND window) {
        HWND dialog = reinterpret_cast<HWND>(h.view.WindowHandle());
        if (window != dialog)
            return;
        // The method box's text changed; reading it finds no memory.
        HWND method = GetDlgItem(dialog, app::kIdMethod);
        SetWindowTextW(method, L"gefr\u00e4st und poliert");
        const testing_support::AllocationsFailAfter failing(0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(app::kIdMethod, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(method));
    });
    EXPECT_EQ(app::RunWindowsProgram(*h.run, h.view, *h.form), app::kExitErrorShown);
    EXPECT_TRUE(testing_support::AllocationsFailAfter::Failed());
    EXPECT_EQ(h.Messages(), std::vector<std::wstring>{app::kUnexpectedUntouched});
    EXPECT_EQ(h.Sheet().symbols.size(), 1u); // the sheet's own symbol, nothing added
    EXPECT_EQ(h.session->Rebuilds(), 0);
    EXPECT_EQ(h.session->ObjectsHeldOutside(), 0);
}

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
