// Windows-1252, the ANSI code page in which the INI files are read and written.
#pragma once

#include <string>
#include <string_view>

namespace config
{

/// Bytes to text. Every byte has a character, so that decoding and encoding again gives back the same
/// bytes: the five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control
/// characters of the same value, as Windows maps them.
std::wstring DecodeWindows1252(std::string_view bytes);

/// Text to bytes; a character the code page cannot hold becomes '?'.
std::string EncodeWindows1252(std::wstring_view text);

/// The text as it survives a trip through the code page: what an ANSI function sees of a wide text.
std::wstring ThroughWindows1252(std::wstring_view text);

} // namespace config
