// The platform port on Linux and other POSIX systems.
#pragma once

#include "ui/platform.h"

namespace ui
{

class PosixPlatform : public Platform
{
public:
    /// The name of the effective user from the password database, else the login name of the
    /// controlling terminal; nothing when neither can be had. Names are taken as UTF-8.
    std::optional<std::wstring> LoginName() override;
    /// There is no window to raise: the terminal and the simulated session have none.
    void SetTopMost(std::intptr_t windowHandle) override;
    /// The radix character of the numeric category the environment selects (LC_ALL, LC_NUMERIC, LANG),
    /// read without touching the process's global locale; '.' when that locale cannot be loaded.
    wchar_t DecimalSeparator() override;
    /// The target of /proc/self/exe; "" when it cannot be read.
    std::wstring ExecutablePath() override;
    /// There are no windows of the kind the program looks for: nothing is found.
    std::intptr_t FindWindowByCaption(const std::wstring& caption) override;
    /// No file here is a Windows program the system can tell the type of: always 0.
    std::int32_t BinaryType(const std::wstring& path) override;
    void SetOwnerWindow(std::intptr_t window, std::intptr_t owner) override;
};

} // namespace ui
