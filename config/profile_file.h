// The portable profile store: reads and edits INI files the way the Windows profile functions do.
#pragma once

#include "config/profile_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace config
{

/// INI files in Windows-1252 (or UTF-16LE when they start with its byte-order mark), read afresh on every
/// call. Reading follows the Windows rules: CR LF, LF and CR end a line; names match regardless of case;
/// the first section and the first key of a name win; lines before the first header and ";" lines are
/// never found; blanks around a value and one pair of matching outer quotes are dropped. A UTF-8
/// byte-order mark is not recognised, so a header on the first line behind one is not found.
///
/// Writing edits the file in place: only the line concerned changes, every other byte stays. A new
/// section goes to the end of the file, a new key after the last key line of its section, both as
/// CR LF lines; a value is written exactly as given.
class FileProfileStore : public ProfileStore
{
public:
    /// pathSeparator: the folder separator of the platform's paths ('/' on POSIX, '\\' on Windows).
    explicit FileProfileStore(wchar_t pathSeparator = L'/') : m_pathSeparator(pathSeparator) {}

    std::int32_t GetString(const std::wstring& section, const std::wstring& key,
                           const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                           std::int32_t bufferSize, const std::wstring& file) override;

    std::vector<std::wstring> GetKeyNames(const std::wstring& section, const std::wstring& file) override;

    /// A deletion on a missing file creates an empty file, as Windows does. False when the file name is
    /// empty or the file cannot be written; the file is then unchanged.
    bool WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                     const std::optional<std::wstring>& value, const std::wstring& file) override;

    wchar_t PathSeparator() const override { return m_pathSeparator; }

private:
    wchar_t m_pathSeparator;
};

} // namespace config
