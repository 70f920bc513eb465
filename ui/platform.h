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
    /// The first top-level window, of any class, whose caption is caption; 0 when there is none.
    virtual std::intptr_t FindWindowByCaption(const std::wstring& caption) = 0;
    /// The binary type of an executable file as the system tells it (6: a 64-bit Windows program); 0 when
    /// it cannot be told, for instance for a missing file.
    virtual std::int32_t BinaryType(const std::wstring& path) = 0;
    /// Makes owner the owner window of window. A handle of 0 or of a window that is gone is ignored.
    virtual void SetOwnerWindow(std::intptr_t window, std::intptr_t owner) = 0;
};

/// The logged-on user's name, trimmed and upper-cased; "" when it cannot be had.
std::wstring GetUser(Platform& platform);

/// Makes a window top-most (see Platform::SetTopMost).
void SetTopMost(Platform& platform, std::intptr_t windowHandle);

} // namespace ui
