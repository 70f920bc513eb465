#include "ui/message_window_win32.h"

#include "ui/error_object.h"
#include "ui/platform_win32.h"
#include "ui/window_win32.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

constexpr const wchar_t* kLongText = L"Die Verbindung zur SolidWorks-Sitzung ist unterbrochen oder ein Aufruf ist "
                                     L"fehlgeschlagen. Die Zeichnung wurde nicht ge\u00e4ndert.";

RECT ClientPlace(HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

bool SamePlace(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A window of the program that the message window shuts out while it is modal. On WM_APP it notes
// whether it takes input, then presses the message window's "Ok".
struct OtherWindow
{
    static inline bool enabledWhileModal = true;
    static inline HWND ok = nullptr;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_APP)
            return DefWindowProcW(window, message, wParam, lParam);
        enabledWhileModal = IsWindowEnabled(window) != FALSE;
        PostMessageW(ok, BM_CLICK, 0, 0);
        return 0;
    }
};

class Win32MessageWindowTest : public ::testing::Test
{
protected:
    HWND Window() const { return reinterpret_cast<HWND>(window.WindowHandle()); }

    ui::Win32Platform platform;
    ui::Win32MessageWindow window{platform};
    ui::ErrorObject cc{window};
};

TEST_F(Win32MessageWindowTest, ShowsTheMessageWrappedInsideTheLabelTopMost)
{
    // A hidden top-most window of the same caption, as the main dialog is when a message ends the run.
    HWND dialog = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Glattmark Test 1", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    cc.Init(L"Glattmark Test 1", std::nullopt, true);
    cc.eMisc(kLongText);
    cc.Show2(false);
    DestroyWindow(dialog);
    HWND label = GetDlgItem(Window(), ui::kMessageLabelId);
    HWND ok = GetDlgItem(Window(), ui::kMessageOkId);

    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, 293);
    EXPECT_EQ(client.bottom, 113);
    EXPECT_TRUE(SamePlace(ClientPlace(label), RECT{24, 24, 273, 73}));
    EXPECT_TRUE(SamePlace(ClientPlace(ok), RECT{192, 80, 281, 105}));
    EXPECT_EQ(ui::WindowText(Window()), L"Glattmark Test 1");
    EXPECT_EQ(ui::WindowText(label), L"Label1"); // Show2 shows the label as DisplayError left it
    EXPECT_EQ(ui::WindowText(ok), L"Ok");
    EXPECT_NE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Wrapped at word boundaries, the whole text fits the label.
    SetWindowTextW(label, kLongText);
    EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 249, 0};
    DrawTextW(dc, kLongText, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    EXPECT_GT(needed.bottom, 13) << "more than one line";
    EXPECT_LE(needed.bottom, 49);
    EXPECT_LE(needed.right, 249);
}

TEST_F(Win32MessageWindowTest, OkHidesTheWindowShownModelessOrModal)
{
    cc.Init(L"Glattmark Test 2", 1, true);
    cc.Show2(false);
    MSG enter{GetDlgItem(Window(), ui::kMessageOkId), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(Window(), &enter)); // Enter on "Ok", which has the focus
    EXPECT_EQ(cc.QResult, 1);
    EXPECT_FALSE(IsWindowVisible(Window()));

    // Modal: the program's other windows take no input until "Ok".
    cc.QResult = 0;
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW other{};
    other.lpfnWndProc = OtherWindow::Procedure;
    other.hInstance = module;
    other.lpszClassName = L"GlattmarkTestOther";
    RegisterClassW(&other);
    HWND otherWindow = CreateWindowExW(0, other.lpszClassName, L"", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                       nullptr, module, nullptr);
    OtherWindow::ok = GetDlgItem(Window(), ui::kMessageOkId);
    PostMessageW(otherWindow, WM_APP, 0, 0);
    cc.eNoSWX();
    cc.DisplayError();
    EXPECT_EQ(cc.QResult, 1);
    EXPECT_FALSE(OtherWindow::enabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(otherWindow));
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_EQ(ui::WindowText(GetDlgItem(Window(), ui::kMessageLabelId)),
              L"Keine laufende SolidWorks-Sitzung gefunden.");
    DestroyWindow(otherWindow);
}

TEST_F(Win32MessageWindowTest, CloseBoxUnloadsTheWindow)
{
    cc.Init(L"Glattmark Test 3", 1, true);
    cc.Show2(false);
    PostMessageW(Window(), WM_CLOSE, 0, 0);
    cc.eNoDoc();
    cc.DisplayError(); // hides, shows modally, and the close box ends it
    EXPECT_EQ(cc.QResult, 0);
    EXPECT_EQ(window.WindowHandle(), 0);
    EXPECT_EQ(cc.Caption(), L"Form1");
}

TEST_F(Win32MessageWindowTest, QuitRequestedWhileModalEndsTheShowingAndStaysForTheProgramsLoop)
{
    cc.Init(L"Glattmark Test 4", 1, true);
    cc.eNoDoc();
    PostQuitMessage(7);
    cc.DisplayError();
    EXPECT_EQ(cc.QResult, 0);
    EXPECT_FALSE(IsWindowVisible(Window()));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST(Win32Platform, LoginNameIsTheNameAsTheProfileFunctionsSeeIt)
{
    // Wine takes the login name from WINEUSERNAME. The L with stroke is not in code page 1252: an INI file
    // written in that code page names the user "?ukasz", and the profile functions read it so.
    ASSERT_TRUE(SetEnvironmentVariableW(L"WINEUSERNAME", L"\u0141ukasz"));
    wchar_t system[64] = {};
    DWORD size = 64;
    ASSERT_TRUE(GetUserNameW(system, &size));
    ASSERT_EQ(std::wstring(system), L"\u0141ukasz") << "the system no longer takes the name from WINEUSERNAME";
    EXPECT_EQ(ui::Win32Platform().LoginName(), L"?ukasz");
}

TEST(Win32Platform, AnswersFromTheSystem)
{
    ui::Win32Platform platform;
    const auto login = platform.LoginName();
    ASSERT_TRUE(login.has_value());
    EXPECT_FALSE(login->empty());
    EXPECT_EQ(login->find(L'\0'), std::wstring::npos);
    EXPECT_EQ(platform.DecimalSeparator(), L','); // the test prefix has German regional settings
    const std::wstring exe = platform.ExecutablePath();
    EXPECT_EQ(exe.substr(exe.size() - 19), L"\\ui_win32_tests.exe");
    EXPECT_EQ(platform.BinaryType(exe), 6);
    EXPECT_EQ(platform.BinaryType(exe + L".missing"), 0);
    EXPECT_EQ(platform.FindWindowByCaption(L"Glattmark: no such window"), 0);
}

} // namespace
