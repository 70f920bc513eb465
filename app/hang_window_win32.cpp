#include "app/hang_window_win32.h"

#include "ui/window_win32.h"
#include "win32/handles.h"

#include <utility>

namespace app
{

namespace
{

// Layout in twips: the client area, the text and the two buttons.
constexpr int kClientWidth = 4395;
constexpr int kClientHeight = 1695;
constexpr RECT kLabelTwips{360, 360, 3735, 375};
constexpr RECT kWaitTwips{1440, 1080, 1335, 375};
constexpr RECT kCancelTwips{2880, 1080, 1335, 375};
constexpr const wchar_t* kFontFace = L"MS Sans Serif";
constexpr double kFontPoints = 8.25;
/// No close box: the question has two answers, and closing would be neither.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION;

} // namespace

struct Win32HangWindow::Impl
{
    std::wstring caption;
    int iconId = 0;
    std::function<void()> abandon;
    HWND window = nullptr;
    win32::UniqueGdi<HFONT> font;
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;
    Answer answer = Answer::None;

    void Create()
    {
        ui::RegisterWindowClass(kHangWindowClass, ui::OwnedWindowProcedure<Impl>, GetSysColorBrush(COLOR_BTNFACE));
        const int dpi = ui::ScreenDpi();
        font = ui::MakeFont(kFontFace, kFontPoints, false, dpi);
        window = ui::CreateCentredWindow(kHangWindowClass, caption, kWindowStyle, ui::TwipsToPixels(kClientWidth, dpi),
                                         ui::TwipsToPixels(kClientHeight, dpi), this);
        const auto place = [dpi](const RECT& twips) {
            return ui::TwipsRect(twips.left, twips.top, twips.right, twips.bottom, dpi);
        };
        ui::CreateControl(window, L"STATIC", kHangText, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, place(kLabelTwips),
                          kHangLabelId, font.Get());
        ui::CreateControl(window, L"BUTTON", L"Warten", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, place(kWaitTwips),
                          kHangWaitId, font.Get());
        ui::CreateControl(window, L"BUTTON", L"Abbrechen", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, place(kCancelTwips),
                          kHangCancelId, font.Get());
        bigIcon = ui::LoadIconResource(iconId, true);
        smallIcon = ui::LoadIconResource(iconId, false);
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        {
            if (LOWORD(wParam) == kHangWaitId || LOWORD(wParam) == IDOK)
                answer = Answer::Wait;
            else if (LOWORD(wParam) == kHangCancelId || LOWORD(wParam) == IDCANCEL)
                answer = Answer::Cancel;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    /// A window that failed to answer gives the call up: the program must not wait on it for good.
    void Failed() { answer = Answer::Cancel; }
};

Win32HangWindow::Win32HangWindow(std::wstring caption, int iconId, std::function<void()> abandon)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->caption = std::move(caption);
    m_impl->iconId = iconId;
    m_impl->abandon = std::move(abandon);
}

Win32HangWindow::~Win32HangWindow()
{
    if (m_impl->window != nullptr)
        DestroyWindow(std::exchange(m_impl->window, nullptr));
}

void Win32HangWindow::Ask()
{
    Impl& impl = *m_impl;
    if (impl.window == nullptr)
        impl.Create();
    impl.answer = Answer::None;
    SetWindowPos(impl.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(impl.window, SW_SHOW);
    SetForegroundWindow(impl.window);
    UpdateWindow(impl.window);
}

host::HangWatch::Answer Win32HangWindow::Answered()
{
    Impl& impl = *m_impl;
    // A runtime that holds input back while a call waits (Windows answers PENDINGMSG_WAITDEFPROCESS so) would
    // leave the buttons dead: the window's own messages are taken here.
    MSG message;
    while (impl.window != nullptr && impl.answer == Answer::None &&
           PeekMessageW(&message, impl.window, 0, 0, PM_REMOVE))
    {
        if (!IsDialogMessageW(impl.window, &message))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return impl.answer;
}

void Win32HangWindow::Withdraw()
{
    if (m_impl->window != nullptr)
        ShowWindow(m_impl->window, SW_HIDE);
}

void Win32HangWindow::Abandon()
{
    Withdraw();
    m_impl->abandon();
}

} // namespace app
