// The few things the program asks of the operating system outside the CAD host and the INI file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ui
{

class Platform
{
public:
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;
    virtual ~Platform() = default;

    /// The login name of the process as the system delivers it, or nothing when it cannot be had.
    virtual std::optional<std::wstring> LoginName() = 0;
    /// Places the window above all windows that are not top-most, without moving or resizing it.
    /// A handle of 0 or of a window that is gone is ignored.
    virtual void SetTopMost(std::intptr_t windowHandle) = 0;
    /// The decimal separator of the user's regional settings ("," under German settings).
    virtual wchar_t DecimalSeparator() = 0;
    /// Full path of the running executable.
    virtual std::wstring ExecutablePath() = 0;
};

/// The logged-on user's name, trimmed and upper-cased; "" when it cannot be had.
std::wstring GetUser(Platform& platform);

/// Makes a window top-most (see Platform::SetTopMost).
void SetTopMost(Platform& platform, std::intptr_t windowHandle);

} // namespace ui
