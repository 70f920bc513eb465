#include "win32/ansi.h"

#include "win32/win32.h"

#include <climits>
#include <vector>

namespace win32
{

namespace
{

/// The short form of an existing file or folder; "" when there is none.
std::wstring ShortPath(const std::wstring& path)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length); // the length asked for counts the terminating null character
    }
}

/// The bytes of text when the code page gives back exactly text.
std::optional<std::string> Exactly(const std::wstring& text)
{
    if (text.empty())
        return std::nullopt;
    std::string bytes = ToAnsi(text);
    if (FromAnsi(bytes) != text)
        return std::nullopt;
    return bytes;
}

} // namespace

std::string ToAnsi(const std::wstring& text)
{
    // No "best fit" (l for an unmappable l with stroke): a name in the INI file is either the one the program
    // was given or visibly not, as the portable store has it.
    constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring FromAnsi(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
}

std::wstring ThroughAnsi(const std::wstring& text)
{
    return FromAnsi(ToAnsi(text));
}

std::optional<std::string> AnsiPath(const std::wstring& path)
{
    if (path.empty())
        return std::string();
    if (auto bytes = Exactly(path))
        return bytes;
    if (auto bytes = Exactly(ShortPath(path)))
        return bytes;
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0)
        return std::nullopt;
    const auto folder = Exactly(ShortPath(path.substr(0, slash)));
    const auto name = Exactly(path.substr(slash + 1));
    if (!folder || !name)
        return std::nullopt;
    return *folder + "\\" + *name;
}

} // namespace win32
