// The profile store on Windows: the system's own profile functions.
#pragma once

#include "config/profile_store.h"

#include <string>
#include <vector>

namespace config
{

/// GetPrivateProfileStringA and WritePrivateProfileStringA. Every text goes through the ANSI code page,
/// both ways, because the bytes of INI files written by earlier versions depend on it; a character the
/// code page lacks arrives as the code page's default character ('?'). A file path the code page cannot
/// hold goes by its short (8.3) form; a file no form reaches reads as a missing file and is not written.
class Win32ProfileStore : public ProfileStore
{
public:
    /// Whether the profile functions reach file: false when its path holds characters the code page lacks
    /// and no short form does without them.
    static bool Reaches(const std::wstring& file);

    /// Returns what the function returns: the number of bytes it delivered.
    std::int32_t GetString(const std::wstring& section, const std::wstring& key,
                           const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                           std::int32_t bufferSize, const std::wstring& file) override;
    /// The key list form, with a buffer that grows until the whole list fits.
    std::vector<std::wstring> GetKeyNames(const std::wstring& section, const std::wstring& file) override;
    bool WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                     const std::optional<std::wstring>& value, const std::wstring& file) override;
};

/// The message for an INI file the profile functions cannot reach; it names the file's folder.
std::wstring UnreachableFolderMessage(const std::wstring& iniPath);

} // namespace config
