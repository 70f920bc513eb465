#include "ui/message_window_win32.h"

#include "ui/window_win32.h"
#include "win32/handles.h"

#include <algorithm>
#include <exception>

namespace ui
{

namespace
{

// Layout in twips: the client area, txtMsg and Command1.
constexpr int kClientWidth = 4395;
constexpr int kClientHeight = 1695;
constexpr RECT kLabelTwips{360, 360, 3735, 735};
constexpr RECT kOkTwips{2880, 1200, 1335, 375};

/// The form's default font.
constexpr const wchar_t* kFontFace = L"MS Sans Serif";
constexpr double kFontPoints = 8.25;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

} // namespace

struct Win32MessageWindow::Impl
{
    Platform& platform;
    HWND window = nullptr;
    HWND label = nullptr;
    HWND ok = nullptr;
    win32::UniqueGdi<HFONT> font;
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;
    int dpi = 96;
    MessageWindowEvents* events = nullptr;
    bool modalRunning = false;

    explicit Impl(Platform& platformIn) : platform(platformIn) {}

    void Create();
    /// Shows text in the label, which grows downward, the button and the window with it, until the whole
    /// text fits at the label's width (as far as the screen allows); a text that fits the designed label
    /// leaves the design as it is. The window stays in the centre of the screen.
    void ShowText(const std::wstring& text);
    void SetIcon(const IconId& icon);
    /// "Ok": the window is hidden, whether it was shown modal or modeless.
    void Command1_Click();
    /// The close box unloads the window.
    void Unload();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    /// A window that failed to answer ends a modal showing: the program must not wait on it for good.
    void Failed() { modalRunning = false; }
};

void Win32MessageWindow::Impl::Create()
{
    RegisterWindowClass(kMessageWindowClass, OwnedWindowProcedure<Impl>, GetSysColorBrush(COLOR_BTNFACE));
    dpi = ScreenDpi();
    font = MakeFont(kFontFace, kFontPoints, false, dpi);
    // The procedure knows the window by its handle, which is stored here before WM_NCCREATE returns.
    window = CreateCentredWindow(kMessageWindowClass, L"Form1", kWindowStyle, TwipsToPixels(kClientWidth, dpi),
                                 TwipsToPixels(kClientHeight, dpi), this);
    // SS_EDITCONTROL breaks a word longer than a line (a folder's path) as well.
    label = CreateControl(window, L"STATIC", L"Label1", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL,
                          TwipsRect(kLabelTwips.left, kLabelTwips.top, kLabelTwips.right, kLabelTwips.bottom, dpi),
                          kMessageLabelId, font.Get());
    ok = CreateControl(window, L"BUTTON", L"Ok", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                       TwipsRect(kOkTwips.left, kOkTwips.top, kOkTwips.right, kOkTwips.bottom, dpi), kMessageOkId,
                       font.Get());
}

void Win32MessageWindow::Impl::ShowText(const std::wstring& text)
{
    SetWindowTextW(label, text.c_str());
    RECT place = TwipsRect(kLabelTwips.left, kLabelTwips.top, kLabelTwips.right, kLabelTwips.bottom, dpi);
    RECT needed{0, 0, place.right - place.left, 0};
    {
        const win32::WindowDc dc(label);
        const win32::SelectedObject selected(dc.Get(), font.Get());
        DrawTextW(dc.Get(), text.c_str(), -1, &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
    }
    RECT frame{0, 0, TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int room = std::max(0, screenHeight - static_cast<int>(frame.bottom - frame.top));
    const int grow = std::clamp(static_cast<int>(needed.bottom - (place.bottom - place.top)), 0, room);
    place.bottom += grow;
    MoveWindow(label, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
    RECT button = TwipsRect(kOkTwips.left, kOkTwips.top, kOkTwips.right, kOkTwips.bottom, dpi);
    MoveWindow(ok, button.left, button.top + grow, button.right - button.left, button.bottom - button.top, FALSE);
    const int width = static_cast<int>(frame.right - frame.left);
    const int height = static_cast<int>(frame.bottom - frame.top) + grow;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (screenHeight - height) / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

void Win32MessageWindow::Impl::SetIcon(const IconId& icon)
{
    bigIcon.Reset();
    smallIcon.Reset();
    if (icon)
    {
        bigIcon = LoadIconResource(*icon, true);
        smallIcon = LoadIconResource(*icon, false);
    }
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
}

void Win32MessageWindow::Impl::Command1_Click()
{
    ShowWindow(window, SW_HIDE);
    modalRunning = false;
    if (events != nullptr)
        events->Command1_Click();
}

void Win32MessageWindow::Impl::Unload()
{
    HWND closing = window;
    window = nullptr;
    modalRunning = false;
    DestroyWindow(closing);
    if (events != nullptr)
        events->Form_Unload();
}

LRESULT Win32MessageWindow::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        // Enter comes from the dialog keys as IDOK and clicks "Ok" when it has the focus; Esc (IDCANCEL)
        // means nothing, as there is no cancel button.
        if ((LOWORD(wParam) == kMessageOkId && HIWORD(wParam) == BN_CLICKED) ||
            (LOWORD(wParam) == IDOK && GetFocus() == ok))
            Command1_Click();
        return 0;
    case WM_CLOSE:
        Unload();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

Win32MessageWindow::Win32MessageWindow(Platform& platform) : m_impl(std::make_unique<Impl>(platform)) {}

Win32MessageWindow::~Win32MessageWindow()
{
    if (m_impl->window != nullptr)
    {
        HWND window = m_impl->window;
        m_impl->window = nullptr;
        DestroyWindow(window);
    }
}

void Win32MessageWindow::ShowModeless(const std::wstring& caption, const IconId& icon, const std::wstring& text,
                                      MessageWindowEvents& events)
{
    Impl& impl = *m_impl;
    if (impl.window == nullptr)
        impl.Create();
    impl.events = &events;
    SetWindowTextW(impl.window, caption.c_str());
    impl.SetIcon(icon);
    impl.ShowText(text);
    ShowWindow(impl.window, SW_SHOW);
    SetForegroundWindow(impl.window);
    SetFocus(impl.ok);
    UpdateWindow(impl.window);
    // Found by its caption among the windows that carry it: the main dialog has the same caption and, being
    // top-most, comes first in the z-order even when hidden, so the first one found would not be this one.
    for (HWND found = FindWindowExW(nullptr, nullptr, nullptr, caption.c_str()); found != nullptr;
         found = FindWindowExW(nullptr, found, nullptr, caption.c_str()))
    {
        if (found == impl.window)
        {
            impl.platform.SetTopMost(reinterpret_cast<std::intptr_t>(found));
            break;
        }
    }
}

void Win32MessageWindow::ShowModal()
{
    Impl& impl = *m_impl;
    if (impl.window == nullptr)
        return;
    ShowWindow(impl.window, SW_HIDE);
    const OtherThreadWindowsDisabled others(impl.window);
    ShowWindow(impl.window, SW_SHOW);
    SetForegroundWindow(impl.window);
    SetFocus(impl.ok);
    impl.modalRunning = true;
    MSG message{};
    while (impl.modalRunning)
    {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
        {
            // The program is asked to end: the outer loop must see that request too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (impl.window != nullptr && IsDialogMessageW(impl.window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    impl.modalRunning = false;
    // Ended otherwise than by "Ok" or the close box (the request to end, a failure): the showing is over.
    if (impl.window != nullptr)
        ShowWindow(impl.window, SW_HIDE);
}

std::intptr_t Win32MessageWindow::WindowHandle() const
{
    return reinterpret_cast<std::intptr_t>(m_impl->window);
}

void Win32ReportBox::Show(const std::wstring& caption, const std::wstring& text)
{
    // Task-modal with no owner: every window of the thread is shut out while the box is open.
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
}

} // namespace ui
