#include "config/profile_win32.h"

#include "win32/ansi.h"
#include "win32/win32.h"

#include <algorithm>
#include <string>
#include <vector>

namespace config
{

namespace
{

/// Bytes of a key list beyond which nothing is asked any more: 64 MiB, far beyond any INI file's section.
constexpr std::size_t kMaxKeyList = std::size_t{1} << 26;

/// An optional text as an A function takes it: null for nothing.
class AnsiArgument
{
public:
    explicit AnsiArgument(const std::optional<std::wstring>& text)
        : m_present(text.has_value()), m_bytes(text ? win32::ToAnsi(*text) : std::string())
    {
    }
    const char* Get() const { return m_present ? m_bytes.c_str() : nullptr; }

private:
    bool m_present;
    std::string m_bytes;
};

/// The file as the A functions take it. A path no form reaches keeps its '?' for the characters the code page
/// lacks: no file can bear that name, so it reads as a missing file and takes no writes.
std::string FileBytes(const std::wstring& file)
{
    return win32::AnsiPath(file).value_or(win32::ToAnsi(file));
}

} // namespace

bool Win32ProfileStore::Reaches(const std::wstring& file)
{
    return win32::AnsiPath(file).has_value();
}

std::wstring UnreachableFolderMessage(const std::wstring& iniPath)
{
    const std::wstring folder = iniPath.substr(0, iniPath.find_last_of(L"\\/"));
    return L"Die Konfiguration kann nicht gelesen werden: Der Ordner \"" + folder +
           L"\" oder der Name des Programms enth\u00e4lt Zeichen, die Windows f\u00fcr INI-Dateien nicht "
           L"darstellen kann. Bitte das Programm in einen Ordner mit einfachem Namen kopieren.";
}

std::int32_t Win32ProfileStore::GetString(const std::wstring& section, const std::wstring& key,
                                          const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                                          std::int32_t bufferSize, const std::wstring& file)
{
    const std::string sectionBytes = win32::ToAnsi(section);
    const std::string keyBytes = win32::ToAnsi(key);
    const AnsiArgument defaultBytes(defaultValue);
    const std::string fileBytes = FileBytes(file);
    const DWORD size = bufferSize > 0 ? static_cast<DWORD>(bufferSize) : 0;
    // One byte more than the function may use, so that a buffer of size 0 still has a place to point to.
    std::vector<char> buffer(std::size_t{size} + 1, '\0');
    const DWORD count = GetPrivateProfileStringA(sectionBytes.c_str(), keyBytes.c_str(), defaultBytes.Get(),
                                                 buffer.data(), size, fileBytes.c_str());
    const std::size_t delivered = std::min<std::size_t>(count, size);
    returned = win32::FromAnsi(std::string(buffer.data(), delivered));
    return static_cast<std::int32_t>(delivered);
}

std::vector<std::wstring> Win32ProfileStore::GetKeyNames(const std::wstring& section, const std::wstring& file)
{
    const std::string sectionBytes = win32::ToAnsi(section);
    const std::string fileBytes = FileBytes(file);
    // A list that does not fit comes back cut, with a count of size - 2.
    std::vector<char> buffer(1024);
    DWORD count = 0;
    for (;;)
    {
        const auto size = static_cast<DWORD>(buffer.size());
        count = GetPrivateProfileStringA(sectionBytes.c_str(), nullptr, "", buffer.data(), size, fileBytes.c_str());
        if (count < size - 2 || buffer.size() >= kMaxKeyList)
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::wstring> names;
    const std::string list(buffer.data(), std::min<std::size_t>(count, buffer.size()));
    for (std::size_t start = 0; start < list.size();)
    {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        names.push_back(win32::FromAnsi(list.substr(start, end - start)));
        start = end + 1;
    }
    return names;
}

bool Win32ProfileStore::WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                                    const std::optional<std::wstring>& value, const std::wstring& file)
{
    const std::string sectionBytes = win32::ToAnsi(section);
    const AnsiArgument keyBytes(key);
    const AnsiArgument valueBytes(value);
    const std::string fileBytes = FileBytes(file);
    return WritePrivateProfileStringA(sectionBytes.c_str(), keyBytes.Get(), valueBytes.Get(), fileBytes.c_str()) != 0;
}

} // namespace config
