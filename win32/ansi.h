// Text through the system's ANSI code page, for the A functions whose bytes matter (the profile functions,
// GetBinaryTypeA). The portable Windows-1252 reading of INI files is config/ansi_code_page.h.
#pragma once

#include <optional>
#include <string>

namespace win32
{

/// Text in the ANSI code page, as an A function sees it; a character the code page lacks becomes the code
/// page's default character ('?'), never a look-alike.
std::string ToAnsi(const std::wstring& text);
/// ANSI code page bytes back to text.
std::wstring FromAnsi(const std::string& bytes);
/// The text as it comes back from an A function: what survives a trip through the code page.
std::wstring ThroughAnsi(const std::wstring& text);

/// A path as an A function can reach the file: the path itself when the code page holds every character;
/// else its short (8.3) form, or the short form of its folder with the file's own name, when that form
/// survives the code page (a file that does not exist yet has no short form, its folder may). Nothing when
/// no such form exists (a volume without short names, or a file name the code page lacks).
std::optional<std::string> AnsiPath(const std::wstring& path);

} // namespace win32
