// What the program's Win32 windows share: twips at the screen's resolution, fonts in points, icons,
// centring, and shutting the other windows of the thread out during a modal showing.
#pragma once

#include "win32/handles.h"
#include "win32/win32.h"

#include <string>
#include <vector>

namespace ui
{

/// The design unit of the windows' layouts: 1440 twips to the inch, 15 to the pixel at 96 dpi.
inline constexpr int kTwipsPerInch = 1440;

/// Logical pixels per inch of the screen (96 unless the system scales); the program is DPI aware.
int ScreenDpi();

/// Twips to pixels at dpi, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

/// A rectangle given in twips (left, top, width, height), in pixels at dpi.
RECT TwipsRect(int left, int top, int width, int height, int dpi);

/// A font of this face at this size in points (8.25, 11.25 ...), at dpi. Throws std::runtime_error when
/// the system cannot make it.
win32::UniqueGdi<HFONT> MakeFont(const std::wstring& face, double points, bool bold, int dpi);

/// The icon resource id of this executable at the system's size for big (caption, Alt+Tab) or small
/// icons; nothing when there is no such resource.
win32::UniqueIcon LoadIconResource(int id, bool big);

/// Registers a window class of this module once; later calls with the same name do nothing. The class
/// outlives every window of it: background is a brush that lives as long as the process (a system colour
/// brush), or none, and the class has no icon (each window sets its own with WM_SETICON). Throws
/// std::runtime_error when it cannot be registered.
void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background);

/// Creates a top-level window with this client size, in the centre of the screen, hidden. Throws
/// std::runtime_error when it cannot be made. parameter reaches WM_NCCREATE as lpCreateParams.
HWND CreateCentredWindow(const wchar_t* className, const std::wstring& caption, DWORD style, int clientWidth,
                         int clientHeight, void* parameter);

/// A child control at its place, with its font. Throws std::runtime_error when it cannot be made.
HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, const RECT& place,
                   int id, HFONT font);

/// The window procedure of a window object. CreateWindowEx's parameter names the object; once the object's
/// member window holds the handle, it answers the window's messages with Handle(message, wParam, lParam),
/// before that and after the system does. Nothing unwinds through the system's code that called the
/// procedure: a failure inside Handle is told to the object's Failed() and answered as the system would.
template <typename Owner> LRESULT CALLBACK OwnedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr || owner->window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    try
    {
        return owner->Handle(message, wParam, lParam);
    }
    catch (...)
    {
        owner->Failed();
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

/// The text of a window (WM_GETTEXT), however long.
std::wstring WindowText(HWND window);

/// While it lives, every other visible, enabled top-level window of the calling thread is disabled:
/// what a modal showing needs. Afterwards exactly those that still exist are enabled again.
class OtherThreadWindowsDisabled
{
public:
    explicit OtherThreadWindowsDisabled(HWND keep);
    OtherThreadWindowsDisabled(const OtherThreadWindowsDisabled&) = delete;
    OtherThreadWindowsDisabled& operator=(const OtherThreadWindowsDisabled&) = delete;
    ~OtherThreadWindowsDisabled();

private:
    std::vector<HWND> m_disabled;
};

} // namespace ui
