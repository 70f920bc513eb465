#include "ui/platform_win32.h"

#include "win32/ansi.h"
#include "win32/win32.h"

#include <string>
#include <vector>

namespace ui
{

namespace
{

constexpr DWORD kUserNameBuffer = 255;

HWND AsWindow(std::intptr_t handle)
{
    return reinterpret_cast<HWND>(handle);
}

} // namespace

std::optional<std::wstring> Win32Platform::LoginName()
{
    std::wstring buffer(kUserNameBuffer, L' ');
    DWORD size = kUserNameBuffer;
    if (!GetUserNameW(buffer.data(), &size) || size == 0)
        return std::nullopt;
    // On success the size counts the terminating null character.
    buffer.resize(size - 1);
    // As GetUserNameA gives it, through the ANSI code page: the name is compared with the super users of the
    // INI file, which the profile functions read through that code page.
    return win32::ThroughAnsi(buffer);
}

void Win32Platform::SetTopMost(std::intptr_t windowHandle)
{
    SetWindowPos(AsWindow(windowHandle), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

wchar_t Win32Platform::DecimalSeparator()
{
    // LOCALE_SDECIMAL has at most three characters.
    wchar_t buffer[4] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 4) <= 1)
        return L'.';
    return buffer[0];
}

std::wstring Win32Platform::ExecutablePath()
{
    // A path beyond MAX_PATH is cut to the buffer without an error on some systems, so the buffer grows
    // until the path leaves room to spare.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size() - 1)
            return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::intptr_t Win32Platform::FindWindowByCaption(const std::wstring& caption)
{
    return reinterpret_cast<std::intptr_t>(FindWindowW(nullptr, caption.c_str()));
}

std::int32_t Win32Platform::BinaryType(const std::wstring& path)
{
    DWORD type = 0;
    const auto bytes = win32::AnsiPath(path);
    if (!bytes || !GetBinaryTypeA(bytes->c_str(), &type))
        return 0;
    return static_cast<std::int32_t>(type);
}

void Win32Platform::SetOwnerWindow(std::intptr_t window, std::intptr_t owner)
{
    SetWindowLongPtrW(AsWindow(window), GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner));
}

} // namespace ui
