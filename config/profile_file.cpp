#include "config/profile_file.h"

#include "config/ansi_code_page.h"
#include "ui/conversions.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace config
{

namespace
{

// Windows reads a value of 65,536 characters or more with its length wrapped at 16 bits.
constexpr std::size_t kValueLengthWrap = 65536;

constexpr std::wstring_view kNewLine = L"\r\n";

enum class Encoding
{
    Ansi,
    Utf16Le,
};

/// A file's text, one wchar_t per ANSI byte or per UTF-16 code unit, and what it takes to write the
/// same bytes back.
struct IniText
{
    bool existed = false;
    std::size_t byteSize = 0;
    Encoding encoding = Encoding::Ansi;
    std::wstring text;
    std::string oddByte; ///< a UTF-16 file's last byte when its length is odd
};

enum class LineKind
{
    Blank,
    Header,
    Comment,
    Entry, ///< key=value
    Other, ///< text without "="
};

/// One line of the text: its content [start, end) and its line break [end, next).
struct Line
{
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t next = 0;
    LineKind kind = LineKind::Blank;
    std::wstring_view name;     ///< section name of a header, key of an entry, both trimmed
    std::size_t valueStart = 0; ///< an entry's first character after "="
    std::wstring_view value;    ///< an entry's value, trimmed
};

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\v';
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The functions trim only spaces from the section and key they are given; a tab stays part of the name.
std::wstring TrimSpaces(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    return std::wstring(text);
}

// Paths are handed over as UTF-8 so that no locale decides how a folder name with umlauts is spelt.
std::filesystem::path PathOf(const std::wstring& file)
{
    const std::string utf8 = ui::ToUtf8(file);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && (a == b || ui::UCase(a) == ui::UCase(b));
}

/// A file's bytes, or why there are none.
struct FileBytes
{
    enum class State
    {
        Missing,
        Read,
        Unreadable, ///< there, but not a file or not readable: it must not be written over
    };
    State state = State::Missing;
    std::string bytes;
};

FileBytes ReadBytes(const std::wstring& file)
{
    FileBytes result;
    std::error_code error;
    const std::filesystem::path path = PathOf(file);
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return result;
    result.state = FileBytes::State::Unreadable;
    if (status.type() != std::filesystem::file_type::regular)
        return result;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return result;
    result.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return result;
    result.state = FileBytes::State::Read;
    return result;
}

bool WriteBytes(const std::wstring& file, const std::string& bytes)
{
    const std::filesystem::path path = PathOf(file);
    // Opening for writing fails on a read-only file before anything is truncated.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

IniText Decode(const FileBytes& file)
{
    IniText ini;
    if (file.state != FileBytes::State::Read)
        return ini;
    ini.existed = true;
    ini.byteSize = file.bytes.size();
    const std::string_view data(file.bytes);
    if (data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF && static_cast<unsigned char>(data[1]) == 0xFE)
    {
        ini.encoding = Encoding::Utf16Le;
        std::size_t i = 2;
        for (; i + 1 < data.size(); i += 2)
        {
            const auto low = static_cast<unsigned char>(data[i]);
            const auto high = static_cast<unsigned char>(data[i + 1]);
            ini.text.push_back(static_cast<wchar_t>(low | (high << 8)));
        }
        if (i < data.size())
            ini.oddByte = std::string(data.substr(i));
        return ini;
    }
    ini.text = DecodeWindows1252(data);
    return ini;
}

std::string Encode(const IniText& ini)
{
    if (ini.encoding == Encoding::Ansi)
        return EncodeWindows1252(ini.text);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + ini.text.size() * 2 + ini.oddByte.size());
    for (const wchar_t c : ini.text)
    {
        const auto unit = static_cast<std::uint32_t>(c) & 0xFFFFu;
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit & 0xFFu)));
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit >> 8)));
    }
    bytes += ini.oddByte;
    return bytes;
}

void Classify(std::wstring_view text, Line& line)
{
    const std::wstring_view content = text.substr(line.start, line.end - line.start);
    std::size_t first = 0;
    while (first < content.size() && IsBlank(content[first]))
        ++first;
    if (first == content.size())
    {
        line.kind = LineKind::Blank;
        return;
    }
    if (content[first] == L'[')
    {
        // The name ends at the first "]", or with the line when there is none.
        std::wstring_view name = content.substr(first + 1);
        const std::size_t close = name.find(L']');
        if (close != std::wstring_view::npos)
            name = name.substr(0, close);
        line.kind = LineKind::Header;
        line.name = TrimBlanks(name);
        return;
    }
    if (content[first] == L';')
    {
        line.kind = LineKind::Comment;
        return;
    }
    const std::size_t equals = content.find(L'=', first);
    if (equals == std::wstring_view::npos)
    {
        line.kind = LineKind::Other;
        return;
    }
    line.kind = LineKind::Entry;
    line.name = TrimBlanks(content.substr(first, equals - first));
    line.valueStart = line.start + equals + 1;
    line.value = TrimBlanks(content.substr(equals + 1));
}

std::vector<Line> SplitLines(std::wstring_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size())
    {
        Line line;
        line.start = pos;
        while (pos < text.size() && text[pos] != L'\r' && text[pos] != L'\n')
            ++pos;
        line.end = pos;
        if (pos < text.size())
        {
            if (text[pos] == L'\r' && pos + 1 < text.size() && text[pos + 1] == L'\n')
                pos += 2;
            else
                ++pos;
        }
        line.next = pos;
        Classify(text, line);
        lines.push_back(line);
    }
    return lines;
}

/// Index of the first header of that name, or nothing.
std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::wstring_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (lines[i].kind == LineKind::Header && SameName(lines[i].name, section))
            return i;
    }
    return std::nullopt;
}

/// One past the last line of the section whose header is at index header.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Header)
        ++i;
    return i;
}

/// Index of the first entry of that key in the section, or nothing. Comment lines are never keys.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::size_t header, std::wstring_view key)
{
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i)
    {
        if (lines[i].kind == LineKind::Entry && SameName(lines[i].name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::wstring> FindValue(const IniText& ini, std::wstring_view section, std::wstring_view key)
{
    const std::vector<Line> lines = SplitLines(ini.text);
    const auto header = FindSection(lines, section);
    if (!header)
        return std::nullopt;
    const auto entry = FindKey(lines, *header, key);
    if (!entry)
        return std::nullopt;
    std::wstring_view value = lines[*entry].value;
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::wstring(value.substr(0, value.size() % kValueLengthWrap));
}

/// The text with the lines [from, to) removed where drop says so.
template <typename Predicate>
std::wstring WithoutLines(const IniText& ini, const std::vector<Line>& lines, std::size_t from, std::size_t to,
                          Predicate drop)
{
    std::wstring result;
    result.reserve(ini.text.size());
    std::size_t copiedTo = 0;
    for (std::size_t i = from; i < to; ++i)
    {
        if (!drop(lines[i]))
            continue;
        result.append(ini.text, copiedTo, lines[i].start - copiedTo);
        copiedTo = lines[i].next;
    }
    result.append(ini.text, copiedTo, std::wstring::npos);
    return result;
}

bool EndsWithLineBreak(std::wstring_view text)
{
    return !text.empty() && (text.back() == L'\r' || text.back() == L'\n');
}

/// Puts key=value into the text: over the first entry of the key, else after the section's last entry
/// (right after the header when it has none), else in a new section at the end.
void SetValue(IniText& ini, const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    const std::vector<Line> lines = SplitLines(ini.text);
    const auto header = FindSection(lines, section);
    if (!header)
    {
        std::wstring added;
        // A file that does not end with a line break gets one first; a UTF-8 byte-order mark is such a
        // last line, and so is the byte-order mark of an otherwise empty UTF-16 file.
        if (ini.byteSize > 0 && !EndsWithLineBreak(ini.text))
            added += kNewLine;
        added += L"[" + section + L"]" + std::wstring(kNewLine) + key + L"=" + value + std::wstring(kNewLine);
        ini.text += added;
        return;
    }
    if (const auto entry = FindKey(lines, *header, key))
    {
        const Line& line = lines[*entry];
        std::wstring replacement = value;
        if (line.next == line.end)
            replacement += kNewLine;
        ini.text.replace(line.valueStart, line.end - line.valueStart, replacement);
        return;
    }
    std::size_t after = *header;
    const std::size_t end = SectionEnd(lines, *header);
    for (std::size_t i = *header + 1; i < end; ++i)
    {
        if (lines[i].kind == LineKind::Entry)
            after = i;
    }
    std::wstring inserted;
    if (lines[after].next == lines[after].end)
        inserted += kNewLine;
    inserted += key + L"=" + value + std::wstring(kNewLine);
    ini.text.insert(lines[after].next, inserted);
}

} // namespace

std::int32_t FileProfileStore::GetString(const std::wstring& section, const std::wstring& key,
                                         const std::optional<std::wstring>& defaultValue, std::wstring& returned,
                                         std::int32_t bufferSize, const std::wstring& file)
{
    // No room even for the terminating NUL: the buffer stays as it was.
    if (bufferSize <= 0)
        return 0;
    std::optional<std::wstring> found;
    if (!file.empty())
    {
        const IniText ini = Decode(ReadBytes(file));
        if (ini.existed)
            found = FindValue(ini, TrimSpaces(ThroughWindows1252(section)), TrimSpaces(ThroughWindows1252(key)));
    }
    std::wstring result;
    if (found)
    {
        result = ThroughWindows1252(*found);
    }
    else if (defaultValue)
    {
        result = ThroughWindows1252(*defaultValue);
        while (!result.empty() && result.back() == L' ')
            result.pop_back();
    }
    const auto capacity = static_cast<std::size_t>(bufferSize - 1);
    if (result.size() > capacity)
        result.resize(capacity);
    returned = result;
    return static_cast<std::int32_t>(result.size());
}

std::vector<std::wstring> FileProfileStore::GetKeyNames(const std::wstring& section, const std::wstring& file)
{
    std::vector<std::wstring> names;
    if (file.empty())
        return names;
    const IniText ini = Decode(ReadBytes(file));
    if (!ini.existed)
        return names;
    const std::vector<Line> lines = SplitLines(ini.text);
    const auto header = FindSection(lines, TrimSpaces(ThroughWindows1252(section)));
    if (!header)
        return names;
    const std::size_t end = SectionEnd(lines, *header);
    for (std::size_t i = *header + 1; i < end; ++i)
    {
        if (lines[i].kind == LineKind::Entry)
            names.push_back(ThroughWindows1252(lines[i].name));
    }
    return names;
}

bool FileProfileStore::WriteString(const std::wstring& section, const std::optional<std::wstring>& key,
                                   const std::optional<std::wstring>& value, const std::wstring& file)
{
    if (file.empty())
        return false;
    const FileBytes bytes = ReadBytes(file);
    if (bytes.state == FileBytes::State::Unreadable)
        return false;
    IniText ini = Decode(bytes);
    const std::wstring sectionName = TrimSpaces(ThroughWindows1252(section));

    if (!key || !value)
    {
        // Deleting from a missing file leaves an empty file behind.
        if (!ini.existed)
            return WriteBytes(file, std::string());
        const std::vector<Line> lines = SplitLines(ini.text);
        const auto header = FindSection(lines, sectionName);
        if (!header)
            return true;
        if (!key)
        {
            // The header and the section's key lines go; its comments and blank lines stay.
            ini.text = WithoutLines(ini, lines, *header, SectionEnd(lines, *header), [](const Line& line) {
                return line.kind == LineKind::Header || line.kind == LineKind::Entry || line.kind == LineKind::Other;
            });
        }
        else
        {
            const auto entry = FindKey(lines, *header, TrimSpaces(ThroughWindows1252(*key)));
            if (!entry)
                return true;
            ini.text = WithoutLines(ini, lines, *entry, *entry + 1, [](const Line&) { return true; });
        }
        return WriteBytes(file, Encode(ini));
    }

    SetValue(ini, sectionName, TrimSpaces(ThroughWindows1252(*key)), ThroughWindows1252(*value));
    return WriteBytes(file, Encode(ini));
}

} // namespace config
