#include "win32/registry.h"

namespace win32
{

UniqueHkey OpenKeyToRead(HKEY root, const std::wstring& path)
{
    UniqueHkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

std::vector<std::pair<std::wstring, std::wstring>> TextValues(HKEY key)
{
    std::vector<std::pair<std::wstring, std::wstring>> values;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0; index < count; ++index)
    {
        std::wstring name(std::size_t{longestName} + 1, L'\0');
        // Room for a terminating null character the stored text may lack.
        std::wstring text(std::size_t{longestData} / sizeof(wchar_t) + 2, L'\0');
        auto nameLength = static_cast<DWORD>(name.size());
        auto dataBytes = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                          &dataBytes) != ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        name.resize(nameLength);
        text.resize(dataBytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        values.emplace_back(std::move(name), std::move(text));
    }
    return values;
}

LSTATUS SetDefaultText(HKEY root, const std::wstring& path, const std::wstring& text)
{
    UniqueHkey key;
    const LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                           nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    return RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

} // namespace win32
