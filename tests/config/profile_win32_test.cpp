#include "config/profile_win32.h"

#include "config/profile_file.h"
#include "tests/config/profile_cases.h"
#include "tests/config/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace
{

using config_testing::TempFolder;

// Where Wine 8.0 answers otherwise than Windows; the portable store answers as Windows does.
const std::map<std::string, const char*> kWineReads = {
    {"lines before the first header", "Wine finds lines before the first header with section \"\""},
    {"empty brackets name a section", "Wine does not find \"[]\" with section \"\""},
    {"comment line is no key", "Wine finds a \";k\" comment line by the key \";k\""},
    {"tab in the key argument", "Wine trims a tab from the key argument"},
    {"header without bracket", "Wine takes a header without \"]\" for no section"},
    {"name ends at the first bracket", "Wine ends a section name at its last \"]\""},
    {"UTF-8 BOM hides the first header", "Wine reads a UTF-8 byte-order mark as UTF-8"},
    {"non-ASCII names match in either case", "Wine matches the case of non-ASCII letters"},
    {"NUL bytes are ordinary characters", "Wine ends a value at a NUL byte"},
};
constexpr const char* kWineRewrites = "Wine rewrites the whole file: blank lines dropped, lines trimmed";
constexpr const char* kWineCommentsAreKeys = "Wine counts comment lines as keys";
const std::map<std::string, const char*> kWineWrites = {
    {"delete key on a missing file leaves an empty file", "Wine creates no file to delete from"},
    {"delete section on a missing file leaves an empty file", "Wine creates no file to delete from"},
    {"junk and NUL bytes before the first section are kept", "Wine loses what follows a NUL byte"},
    {"comments do not count as keys", kWineCommentsAreKeys},
    {"comment keys go after the last key", kWineCommentsAreKeys},
    {"key into a section of comments only", kWineCommentsAreKeys},
    {"comment key twice", kWineCommentsAreKeys},
    {"comment key is not deleted", kWineCommentsAreKeys},
    {"deleting a section keeps its comments", "Wine deletes a section's comment lines with it"},
    {"section deletion takes its key lines and junk", "Wine deletes a section's comment lines with it"},
    {"value written verbatim", "Wine drops the blanks before a value"},
    {"spaces around names dropped", "Wine keeps the blanks after section and key names"},
    {"blank lines after the section stay", kWineRewrites},
    {"LF file: only the changed line changes", kWineRewrites},
    {"key into a section followed by blank lines only", kWineRewrites},
    {"UTF-8 BOM is a first line", "Wine reads a UTF-8 byte-order mark"},
    {"UTF-16LE file stays UTF-16LE", "Wine puts no line break after a UTF-16 byte-order mark"},
    {"empty section name", "Wine writes the keys of section \"\" before the first header, without \"[]\""},
};

class Win32ProfileStoreTest : public ::testing::Test
{
protected:
    std::wstring File(const wchar_t* name) const { return folder.Path().wstring() + L"\\" + name; }

    TempFolder folder;
    config::Win32ProfileStore windows;
    config::FileProfileStore portable{L'\\'};
};

TEST_F(Win32ProfileStoreTest, ReadsAsThePortableStore)
{
    for (const auto& c : config_testing::ReadCases())
    {
        SCOPED_TRACE(c.name);
        const std::wstring file = File(L"read.ini");
        std::filesystem::remove(TempFolder::PathOf(file));
        if (c.file)
            TempFolder::Write(file, *c.file);
        std::wstring fromWindows = L"untouched";
        std::wstring fromStore = L"untouched";
        const std::int32_t windowsCount =
            windows.GetString(c.section, c.key, c.defaultValue, fromWindows, c.bufferSize, file);
        const std::int32_t storeCount =
            portable.GetString(c.section, c.key, c.defaultValue, fromStore, c.bufferSize, file);
        EXPECT_EQ(storeCount, c.expectedCount);
        EXPECT_EQ(fromStore, c.expectedValue);
        if (const auto difference = kWineReads.find(c.name); difference != kWineReads.end())
        {
            EXPECT_NE(fromWindows, fromStore) << difference->second << ": no longer so?";
            continue;
        }
        EXPECT_EQ(windowsCount, storeCount);
        EXPECT_EQ(fromWindows, fromStore);
    }
}

TEST_F(Win32ProfileStoreTest, WritesAsThePortableStore)
{
    for (const auto& c : config_testing::WriteCases())
    {
        SCOPED_TRACE(c.name);
        const std::wstring windowsFile = File(L"windows.ini");
        const std::wstring storeFile = File(L"store.ini");
        for (const std::wstring& file : {windowsFile, storeFile})
        {
            std::filesystem::remove(TempFolder::PathOf(file));
            if (c.file)
                TempFolder::Write(file, *c.file);
        }
        for (const auto& step : c.steps)
        {
            windows.WriteString(step.section, step.key, step.value, windowsFile);
            EXPECT_TRUE(portable.WriteString(step.section, step.key, step.value, storeFile));
        }
        EXPECT_EQ(TempFolder::Read(storeFile), c.expected);
        if (const auto difference = kWineWrites.find(c.name); difference != kWineWrites.end())
        {
            EXPECT_NE(TempFolder::Read(windowsFile), TempFolder::Read(storeFile))
                << difference->second << ": no longer so?";
            continue;
        }
        EXPECT_EQ(TempFolder::Read(windowsFile), TempFolder::Read(storeFile));
    }
}

TEST_F(Win32ProfileStoreTest, ListsKeyNamesAsThePortableStore)
{
    const std::wstring file = File(L"keys.ini");
    std::string many = "[many]\r\n";
    for (int i = 0; i < 400; ++i)
        many += "Schl\xFCssel" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    TempFolder::Write(file,
                      config_testing::kF1 + "[S]\r\n  a  = 1\r\n;c=comment\r\nno equals\r\nA=again\r\n#h=x\r\n" + many);
    for (const wchar_t* section : {L"section1", L"section2", L"S", L"many", L"missing"})
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(section)));
        EXPECT_EQ(windows.GetKeyNames(section, file), portable.GetKeyNames(section, file));
    }
    EXPECT_NE(windows.GetKeyNames(L" s ", file), portable.GetKeyNames(L" s ", file))
        << "Wine does not trim the section argument of the key list: no longer so?";
    EXPECT_EQ(windows.GetKeyNames(L"many", file).size(), 400u);
    EXPECT_TRUE(windows.GetKeyNames(L"s", File(L"none.ini")).empty());
}

TEST_F(Win32ProfileStoreTest, TextGoesThroughTheAnsiCodePage)
{
    const std::wstring file = File(L"ansi.ini");
    ASSERT_TRUE(windows.WriteString(L"Liste", L"M\u00f6", L"gefr\u00e4st \u20ac", file));
    EXPECT_EQ(TempFolder::Read(file), "[Liste]\r\nM\xF6=gefr\xE4st \x80\r\n");
    std::wstring value;
    EXPECT_EQ(windows.GetString(L"liste", L"M\u00f6", std::nullopt, value, 128, file), 9);
    EXPECT_EQ(value, L"gefr\u00e4st \u20ac");
}

TEST_F(Win32ProfileStoreTest, FolderOutsideTheCodePageIsReachedByItsShortName)
{
    // The L with stroke and the z with acute are not in code page 1252.
    const std::filesystem::path inner = folder.Path() / L"Konstruktion \u0141\u00f3d\u017a";
    std::filesystem::create_directories(inner);
    const std::wstring file = inner.wstring() + L"\\glattmark.ini";
    EXPECT_TRUE(windows.WriteString(L"main", L"Sort", L"1", file));
    EXPECT_TRUE(std::filesystem::exists(inner / L"glattmark.ini"));
    std::wstring value;
    EXPECT_EQ(windows.GetString(L"main", L"Sort", std::nullopt, value, 128, file), 1);
    EXPECT_EQ(value, L"1");
    EXPECT_EQ(windows.GetKeyNames(L"main", file), std::vector<std::wstring>{L"Sort"});

    // A new file whose own name the code page lacks has no form the profile functions can reach.
    const std::wstring unreachable = inner.wstring() + L"\\\u0141.ini";
    EXPECT_FALSE(windows.WriteString(L"main", L"Sort", L"1", unreachable));
    EXPECT_EQ(windows.GetString(L"main", L"Sort", L"-", value, 128, unreachable), 1);
    EXPECT_EQ(value, L"-");
}

} // namespace
