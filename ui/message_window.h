// The windows in which the program shows a message: the error object's own window, and the plain
// message box of the Normfix report.
//
// The report box is not called MessageBox: <windows.h> defines that name as a macro, and a Win32 adapter
// would then see another type than the core does.
#pragma once

#include <optional>
#include <string>

namespace ui
{

/// Resource id of a window icon; nothing means "no icon".
using IconId = std::optional<int>;

/// How a showing of the message window ended (for doubles that answer for the user).
enum class ClosedBy
{
    OkButton,
    CloseBox,
};

/// What the user does in the message window, in a modal or a modeless showing.
class MessageWindowEvents
{
public:
    virtual ~MessageWindowEvents() = default;

    /// "Ok" was pressed; the window has been hidden.
    virtual void Command1_Click() = 0;
    /// The close box closed (unloaded) the window.
    virtual void Form_Unload() = 0;

protected:
    // The error object that implements this stays a plain value; a copy hears nothing from the window.
    MessageWindowEvents() = default;
    MessageWindowEvents(const MessageWindowEvents&) = default;
    MessageWindowEvents& operator=(const MessageWindowEvents&) = default;
};

/// The error object's message window: a label and an "Ok" button.
class MessageWindow
{
public:
    MessageWindow() = default;
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    virtual ~MessageWindow() = default;

    /// Shows the window modeless with this caption, icon and label text, placed top-most without
    /// moving or resizing it (skipped when the window cannot be found by its caption). From now on
    /// "Ok" and the close box go to events, which must outlive the showing.
    virtual void ShowModeless(const std::wstring& caption, const IconId& icon, const std::wstring& text,
                              MessageWindowEvents& events) = 0;
    /// Hides the window and shows it again modally; returns when it is hidden ("Ok") or closed, after
    /// telling the events of the showing which.
    virtual void ShowModal() = 0;
};

/// A system message box with an "Ok" button and no icon (the Normfix report); returns when it is closed.
class ReportBox
{
public:
    ReportBox() = default;
    ReportBox(const ReportBox&) = delete;
    ReportBox& operator=(const ReportBox&) = delete;
    virtual ~ReportBox() = default;

    virtual void Show(const std::wstring& caption, const std::wstring& text) = 0;
};

} // namespace ui
