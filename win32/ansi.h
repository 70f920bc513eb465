// Text through the system's ANSI code page, for the A functions whose bytes matter (the profile functions,
// GetBinaryTypeA). The portable Windows-1252 reading of INI files is config/ansi_code_page.h.
#pragma once

#include <string>

namespace win32
{

/// Text in the ANSI code page, as an A function sees it; a character the code page lacks becomes the code
/// page's default character ('?'), never a look-alike.
std::string ToAnsi(const std::wstring& text);
/// ANSI code page bytes back to text.
std::wstring FromAnsi(const std::string& bytes);

} // namespace win32
