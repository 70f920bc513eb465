// The platform port on Windows.
#pragma once

#include "ui/platform.h"

namespace ui
{

class Win32Platform : public Platform
{
public:
    /// GetUserName with a buffer of 255 characters, through the ANSI code page as GetUserNameA gives it;
    /// nothing when the call fails (also for a longer name).
    std::optional<std::wstring> LoginName() override;
    /// SetWindowPos with HWND_TOPMOST, neither moving nor resizing the window; its result is not examined.
    void SetTopMost(std::intptr_t windowHandle) override;
    /// LOCALE_SDECIMAL of the user's locale; '.' when it cannot be read.
    wchar_t DecimalSeparator() override;
    /// GetModuleFileName of the process, with as much room as the path needs; "" when it cannot be had.
    std::wstring ExecutablePath() override;
    /// FindWindow with no class name.
    std::intptr_t FindWindowByCaption(const std::wstring& caption) override;
    /// GetBinaryTypeA on the path in the ANSI code page (its short form where needed); 0 when the call fails.
    std::int32_t BinaryType(const std::wstring& path) override;
    /// SetWindowLongPtr with GWLP_HWNDPARENT; its result is not examined.
    void SetOwnerWindow(std::intptr_t window, std::intptr_t owner) override;
};

} // namespace ui
