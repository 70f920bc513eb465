// An INI "file system" in memory for the sequence tests: sections and keys found without regard to case,
// missing files read as empty.
#pragma once

#include "config/profile_store.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace app_tests
{

class MemoryProfileStore : public config::ProfileStore
{
public:
    /// file -> "section\nkey" (upper case) -> value
    std::map<std::wstring, std::map<std::wstring, std::wstring>> files;

    void Set(const std::wstring& file, const std::wstring& section, const std::wstring& key, const std::wstring& value)
    {
        files[file][Slot(section, key)] = value;
    }

    std::int32_t GetString(const std::wstring& section, const std::wstring& key,
                           const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                           std::int32_t bufferSize, const std::wstring& file) override
    {
        returned = defaultValue.value_or(L"");
        if (const auto f = files.find(file); f != files.end())
        {
            if (const auto v = f->second.find(Slot(section, key)); v != f->second.end())
                returned = v->second;
        }
        if (bufferSize > 0 && static_cast<std::int32_t>(returned.size()) > bufferSize - 1)
            returned.resize(static_cast<std::size_t>(bufferSize - 1));
        return static_cast<std::int32_t>(returned.size());
    }

    /// The names in upper case.
    std::vector<std::wstring> GetKeyNames(const std::wstring& section, const std::wstring& file) override
    {
        std::vector<std::wstring> names;
        const std::wstring prefix = Slot(section, L"");
        if (const auto f = files.find(file); f != files.end())
        {
            for (const auto& [slot, value] : f->second)
            {
                if (slot.starts_with(prefix))
                    names.push_back(slot.substr(prefix.size()));
            }
        }
        return names;
    }

    bool WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                     const std::optional<std::wstring>& value, const std::wstring& file) override
    {
        if (key && value)
            Set(file, section, *key, *value);
        return true;
    }

private:
    static std::wstring Slot(const std::wstring& section, const std::wstring& key)
    {
        std::wstring slot = section + L"\n" + key;
        std::transform(slot.begin(), slot.end(), slot.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))); });
        return slot;
    }
};

} // namespace app_tests
