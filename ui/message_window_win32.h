// The message windows on Windows: the error object's own window ("Form1" with a label and "Ok") and the
// system message box of the Normfix report.
#pragma once

#include "ui/message_window.h"
#include "ui/platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ui
{

/// Control ids of the message window, fixed so that a UI driver can find them.
inline constexpr int kMessageLabelId = 1001; ///< txtMsg, a static label
inline constexpr int kMessageOkId = 1002;    ///< Command1, "Ok"
/// Window class of the message window.
inline constexpr const wchar_t* kMessageWindowClass = L"GlattmarkMessageWindow";

/// A top-level window without owner, 4395 x 1695 twips of client area in the centre of the screen. Its
/// window is made on the first showing and again after the close box destroyed it. A modal showing
/// disables every other window of the thread until the window is hidden or closed, and runs its own
/// message loop meanwhile.
class Win32MessageWindow : public MessageWindow
{
public:
    /// platform makes the window top-most; it must outlive this object.
    explicit Win32MessageWindow(Platform& platform);
    ~Win32MessageWindow() override;

    void ShowModeless(const std::wstring& caption, const IconId& icon, const std::wstring& text,
                      MessageWindowEvents& events) override;
    void ShowModal() override;

    /// The window, or 0 before the first showing and after the close box.
    std::intptr_t WindowHandle() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// MessageBox with "Ok" only and no icon. Every window of the thread takes no input while it is open, and
/// it stands above the top-most dialog.
class Win32ReportBox : public ReportBox
{
public:
    void Show(const std::wstring& caption, const std::wstring& text) override;
};

} // namespace ui
