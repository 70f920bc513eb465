#include "config/ansi_code_page.h"

#include <array>
#include <cstdint>

namespace config
{

namespace
{

// Characters of the bytes 0x80..0x9F; the undefined bytes map to themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

wchar_t DecodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return static_cast<wchar_t>(kHighControls[static_cast<std::size_t>(byte - 0x80)]);
    return static_cast<wchar_t>(byte);
}

char EncodeChar(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(code));
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
    {
        if (kHighControls[i] == code)
            return static_cast<char>(static_cast<unsigned char>(0x80 + i));
    }
    return '?';
}

} // namespace

std::wstring DecodeWindows1252(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.push_back(DecodeByte(static_cast<unsigned char>(byte)));
    return text;
}

std::string EncodeWindows1252(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text)
        bytes.push_back(EncodeChar(c));
    return bytes;
}

std::wstring ThroughWindows1252(std::wstring_view text)
{
    return DecodeWindows1252(EncodeWindows1252(text));
}

} // namespace config
