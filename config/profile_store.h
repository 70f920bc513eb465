// The two Windows private-profile functions, as the INI handler uses them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace config
{

/// Windows: GetPrivateProfileStringA / WritePrivateProfileStringA. Portable: a reader and in-place
/// editor of Windows-1252 INI files that behaves as those functions do on Windows.
class ProfileStore
{
public:
    ProfileStore() = default;
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;
    virtual ~ProfileStore() = default;

    /// Reads key of section from file into a buffer of bufferSize characters: at most bufferSize - 1
    /// characters are delivered, outer blanks and one pair of matching quotes removed. A missing file,
    /// section or key delivers the default ("" when nothing). Returns the number of characters delivered.
    virtual std::int32_t GetString(const std::wstring& section, const std::wstring& key,
                                   const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                                   std::int32_t bufferSize, const std::wstring& file) = 0;

    /// The names of the keys in the first section of that name, in file order, trimmed: a key written twice
    /// is named twice; comment lines and lines without "=" name none. A missing file or section names none.
    ///
    /// Windows: GetPrivateProfileStringA(section, NULL, "", buffer, size, file), the key list form. It
    /// writes each name followed by a NUL and one more NUL at the end; a list that does not fit is cut so
    /// that the call returns size - 2. The adapter grows the buffer and calls again until the count stays
    /// below size - 2, then splits the first count characters at the NULs.
    virtual std::vector<std::wstring> GetKeyNames(const std::wstring& section, const std::wstring& file) = 0;

    /// Writes value under key in section, creating file, section and key as needed. No value deletes the
    /// key; no key deletes the section. Returns false when the file could not be written.
    virtual bool WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                             const std::optional<std::wstring>& value, const std::wstring& file) = 0;

    /// The character that separates folders in the paths this store is given: '\\' for the Windows
    /// functions; the portable store is told which one its platform uses.
    virtual wchar_t PathSeparator() const { return L'\\'; }
};

} // namespace config
