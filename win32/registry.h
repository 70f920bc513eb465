// The registry, as far as the program and its tools use it: text values, read and written through owned
// keys.
#pragma once

#include "win32/handles.h"

#include <string>
#include <utility>
#include <vector>

namespace win32
{

/// root\path opened for reading; empty when it cannot be opened.
UniqueHkey OpenKeyToRead(HKEY root, const std::wstring& path);

/// The text values (REG_SZ) of an open key as name and text, in the key's order; values of other types
/// are left out.
std::vector<std::pair<std::wstring, std::wstring>> TextValues(HKEY key);

/// Sets the default value of root\path to text, creating the key as needed. Returns the system's status
/// (ERROR_SUCCESS).
LSTATUS SetDefaultText(HKEY root, const std::wstring& path, const std::wstring& text);

} // namespace win32
