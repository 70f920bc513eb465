// Reading and working the windows of another process with what any UI automation client has: the
// process's top-level windows, their child controls by id, the controls' own messages, and the pixels on
// the screen. Nothing here knows glattmark.exe; uidriver_main.cpp knows its windows by their control ids.
#pragma once

#include "win32/win32.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace uidriver
{

/// A control did not answer in time, or is not there: the program hangs or its window went away.
class WindowError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// How long one message to the other process may take before the program counts as hanging.
inline constexpr std::chrono::milliseconds kAnswerTime{5000};

/// The visible top-level windows of process processId, in z-order.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

/// A process that process parentId started from the executable named fileName (no folder; case ignored),
/// or 0 for none. The parent may have ended meanwhile.
DWORD ChildProcessNamed(DWORD parentId, const std::wstring& fileName);

/// The window's class name ("#32770" for a system dialog box).
std::wstring ClassOf(HWND window);

/// The text of a window or control (WM_GETTEXT). Throws WindowError when it does not answer.
std::wstring TextOf(HWND window);

/// Child control id of window; throws WindowError when there is none.
HWND Control(HWND window, int id);

/// The list entries of a combo box (CB_GETCOUNT, CB_GETLBTEXT).
std::vector<std::wstring> ComboItems(HWND combo);

/// The selected entry of a combo box, -1 for none (CB_GETCURSEL).
std::int32_t ComboSelection(HWND combo);

/// BM_GETCHECK == BST_CHECKED.
bool Checked(HWND button);

/// The text of the first static control of window with a text (a message box's message).
std::wstring StaticText(HWND window);

/// The first button of window with control id id, or nullptr (a message box's OK is IDOK).
HWND ButtonWithId(HWND window, int id);

/// Chooses list entry index of a combo box as a click into its list does: the selection changes and the
/// box tells its parent with CBN_SELCHANGE.
void ChooseEntry(HWND combo, int index);

/// Types text into the edit field of a combo box as from the keyboard: everything in the field is
/// selected and overwritten character by character (an empty text deletes it). The field tells the box,
/// and the box its parent, of each change.
void TypeInto(HWND combo, const std::wstring& text);

/// Clicks a button. Posted, not sent: the click may run a modal window that waits for this driver.
void Click(HWND button);

/// Closes a top-level window by its close box (WM_SYSCOMMAND SC_CLOSE), posted for the same reason.
void CloseBox(HWND window);

/// 24-bit pixels, row by row from the top, 0x00RRGGBB.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};

/// The bitmap resources of an executable file, by id (loaded as data: nothing of it runs).
std::map<int, Pixels> BitmapResources(const std::wstring& executable, const std::vector<int>& ids);

/// What the screen shows inside the window's rectangle (the desktop's pixels, whatever covers it).
Pixels ScreenPixels(HWND window);

/// The id of the bitmap of candidates that appears in shown unchanged, at any position; 0 for none.
int FindBitmap(const Pixels& shown, const std::map<int, Pixels>& candidates);

} // namespace uidriver
