// Double of the profile store: INI files in memory, with Windows paths on any platform. Sections and keys
// are found without regard to case and a missing file reads as empty, as with the Windows functions; every
// keyed read and every write is recorded, so a test sees which file was read and what was written where.
#pragma once

#include "config/profile_store.h"
#include "ui/conversions.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace testing_support
{

class RecordingProfileStore : public config::ProfileStore
{
public:
    struct Call
    {
        std::wstring file;
        std::wstring section;
        std::optional<std::wstring> key;
        std::optional<std::wstring> value; ///< reads: nothing
        bool operator==(const Call&) const = default;
    };

    explicit RecordingProfileStore(wchar_t separator = L'\\') : m_separator(separator) {}

    /// Puts a value into a file without recording it.
    void Put(const std::wstring& file, const std::wstring& section, const std::wstring& key, const std::wstring& value)
    {
        m_values[Key(file, section, key)] = value;
    }

    /// The stored value, or nothing.
    std::optional<std::wstring> Get(const std::wstring& file, const std::wstring& section,
                                    const std::wstring& key) const
    {
        const auto found = m_values.find(Key(file, section, key));
        if (found == m_values.end())
            return std::nullopt;
        return found->second;
    }

    std::int32_t GetString(const std::wstring& section, const std::wstring& key,
                           const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                           std::int32_t bufferSize, const std::wstring& file) override
    {
        reads.push_back({file, section, key, std::nullopt});
        std::wstring value = Get(file, section, key).value_or(defaultValue.value_or(L""));
        if (bufferSize > 0 && value.size() >= static_cast<std::size_t>(bufferSize))
            value.resize(static_cast<std::size_t>(bufferSize - 1));
        returned = value;
        return static_cast<std::int32_t>(value.size());
    }

    /// The names in upper case and sorted. Not recorded: reads lists keyed reads only.
    std::vector<std::wstring> GetKeyNames(const std::wstring& section, const std::wstring& file) override
    {
        std::vector<std::wstring> names;
        for (const auto& [key, value] : m_values)
        {
            if (std::get<0>(key) == file && std::get<1>(key) == ui::UCase(section))
                names.push_back(std::get<2>(key));
        }
        return names;
    }

    bool WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                     const std::optional<std::wstring>& value, const std::wstring& file) override
    {
        writes.push_back({file, section, key, value});
        if (key && value)
            Put(file, section, *key, *value);
        else if (key)
            m_values.erase(Key(file, section, *key));
        return true;
    }

    wchar_t PathSeparator() const override { return m_separator; }

    std::vector<Call> reads;
    std::vector<Call> writes;

private:
    using ValueKey = std::tuple<std::wstring, std::wstring, std::wstring>;
    static ValueKey Key(const std::wstring& file, const std::wstring& section, const std::wstring& key)
    {
        return {file, ui::UCase(section), ui::UCase(key)};
    }

    wchar_t m_separator;
    std::map<ValueKey, std::wstring> m_values;
};

} // namespace testing_support
