#include "ui/window_win32.h"

#include "win32/callback.h"

#include <cmath>
#include <stdexcept>

namespace ui
{

namespace
{

struct EnabledWindows
{
    std::vector<HWND> windows;
    win32::CallbackFailure failure;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM parameter)
{
    auto* collected = reinterpret_cast<EnabledWindows*>(parameter);
    return collected->failure.Guard(FALSE, [&] {
        if (IsWindowVisible(window) && IsWindowEnabled(window))
            collected->windows.push_back(window);
        return TRUE;
    });
}

} // namespace

int ScreenDpi()
{
    constexpr int kDefaultDpi = 96;
    const win32::WindowDc screen(nullptr);
    if (!screen)
        return kDefaultDpi;
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDefaultDpi;
}

int TwipsToPixels(int twips, int dpi)
{
    return MulDiv(twips, dpi, kTwipsPerInch);
}

RECT TwipsRect(int left, int top, int width, int height, int dpi)
{
    const int x = TwipsToPixels(left, dpi);
    const int y = TwipsToPixels(top, dpi);
    return RECT{x, y, x + TwipsToPixels(width, dpi), y + TwipsToPixels(height, dpi)};
}

win32::UniqueGdi<HFONT> MakeFont(const std::wstring& face, double points, bool bold, int dpi)
{
    LOGFONTW font{};
    // A negative height asks for the character height (the em), which is what a size in points means.
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    win32::UniqueGdi<HFONT> handle{CreateFontIndirectW(&font)};
    if (!handle)
        throw std::runtime_error("CreateFontIndirectW failed");
    return handle;
}

win32::UniqueIcon LoadIconResource(int id, bool big)
{
    const int width = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    const int height = GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON);
    return win32::UniqueIcon{static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR))};
}

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(module, className, &existing))
        return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0)
        throw std::runtime_error("RegisterClassExW failed");
}

HWND CreateCentredWindow(const wchar_t* className, const std::wstring& caption, DWORD style, int clientWidth,
                         int clientHeight, void* parameter)
{
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExW(0, className, caption.c_str(), style, x, y, width, height, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), parameter);
    if (window == nullptr)
        throw std::runtime_error("CreateWindowExW failed for a top-level window");
    return window;
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, const RECT& place,
                   int id, HFONT font)
{
    HWND control =
        CreateWindowExW(0, className, text.c_str(), WS_CHILD | style, place.left, place.top, place.right - place.left,
                        place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr)
        throw std::runtime_error("CreateWindowExW failed for a control");
    if (font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

std::wstring WindowText(HWND window)
{
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

OtherThreadWindowsDisabled::OtherThreadWindowsDisabled(HWND keep)
{
    EnabledWindows collected;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&collected));
    collected.failure.Rethrow();
    for (HWND window : collected.windows)
    {
        if (window == keep)
            continue;
        EnableWindow(window, FALSE);
        m_disabled.push_back(window);
    }
}

OtherThreadWindowsDisabled::~OtherThreadWindowsDisabled()
{
    for (HWND window : m_disabled)
    {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
}

} // namespace ui
