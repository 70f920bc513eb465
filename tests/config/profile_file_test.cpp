#include "config/profile_file.h"

#include "tests/config/profile_cases.h"
#include "tests/config/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;
using config::FileProfileStore;
using config_testing::ReadCase;
using config_testing::TempFolder;
using config_testing::WriteCase;
using config_testing::WriteStep;

namespace
{

class ProfileFileRead : public ::testing::Test
{
protected:
    TempFolder folder;
    FileProfileStore store;
};

TEST_F(ProfileFileRead, DeliversWhatWindowsDelivers)
{
    for (const ReadCase& c : config_testing::ReadCases())
    {
        SCOPED_TRACE(c.name);
        const std::wstring file = folder.File(L"read.ini");
        std::filesystem::remove(file);
        if (c.file)
            TempFolder::Write(file, *c.file);
        std::wstring value = L"untouched";
        const std::int32_t count = store.GetString(c.section, c.key, c.defaultValue, value, c.bufferSize, file);
        EXPECT_EQ(count, c.expectedCount);
        EXPECT_EQ(value, c.expectedValue);
        EXPECT_EQ(TempFolder::Read(file), c.file) << "a read never changes the file";
    }
}

TEST_F(ProfileFileRead, BufferOfSizeZeroIsLeftAlone)
{
    const std::wstring file = folder.File(L"f1.ini");
    TempFolder::Write(file, config_testing::kF1);
    std::wstring value = L"untouched";
    EXPECT_EQ(store.GetString(L"section1", L"name1", std::nullopt, value, 0, file), 0);
    EXPECT_EQ(value, L"untouched");
}

TEST_F(ProfileFileRead, LongValuesAreCutAndWrapAtSixteenBits)
{
    const std::wstring file = folder.File(L"long.ini");
    struct Case
    {
        std::size_t length;
        std::int32_t bufferSize;
        std::int32_t expected;
    };
    for (const Case& c : {Case{200, 128, 127}, Case{65535, 70000, 65535}, Case{65536, 128, 0}, Case{65537, 128, 1},
                          Case{100000, 128, 127}, Case{100000, 200000, 100000 - 65536}})
    {
        SCOPED_TRACE(c.length);
        std::string digits;
        for (std::size_t i = 0; i < c.length; ++i)
            digits.push_back(static_cast<char>('0' + i % 10));
        TempFolder::Write(file, "[s]\r\nk=" + digits + "\r\nafter=1\r\n");
        std::wstring value;
        EXPECT_EQ(store.GetString(L"s", L"k", std::nullopt, value, c.bufferSize, file), c.expected);
        EXPECT_EQ(value, std::wstring(digits.begin(), digits.begin() + c.expected));
        EXPECT_EQ(store.GetString(L"s", L"after", std::nullopt, value, 128, file), 1);
    }
}

TEST_F(ProfileFileRead, KeyNamesOfTheFirstSectionOfThatName)
{
    const std::wstring file = folder.File(L"keys.ini");
    TempFolder::Write(file, "k=before\r\n[S]\r\n  a  = 1\r\n;c=comment\r\nno equals sign\r\nA=again\r\n#h=x\r\n"
                            "[t]\r\nt=1\r\n[s]\r\nlater=1\r\n");
    EXPECT_EQ(store.GetKeyNames(L" s ", file), (std::vector<std::wstring>{L"a", L"A", L"#h"}));
    EXPECT_EQ(store.GetKeyNames(L"t", file), std::vector<std::wstring>{L"t"});
    EXPECT_TRUE(store.GetKeyNames(L"missing", file).empty());
    EXPECT_TRUE(store.GetKeyNames(L"s", folder.File(L"none.ini")).empty());
}

TEST_F(ProfileFileRead, AFolderInPlaceOfTheFileReadsAsMissing)
{
    std::wstring value;
    EXPECT_EQ(store.GetString(L"s", L"k", L"d", value, 128, folder.Path().wstring()), 1);
    EXPECT_EQ(value, L"d");
    EXPECT_EQ(store.GetString(L"s", L"k", L"d", value, 128, L""), 1);
}

class ProfileFileWrite : public ::testing::Test
{
protected:
    TempFolder folder;
    FileProfileStore store;
};

TEST_F(ProfileFileWrite, EditsInPlaceAsWindowsDoes)
{
    for (const WriteCase& c : config_testing::WriteCases())
    {
        SCOPED_TRACE(c.name);
        const std::wstring file = folder.File(L"write.ini");
        std::filesystem::remove(file);
        if (c.file)
            TempFolder::Write(file, *c.file);
        for (const WriteStep& step : c.steps)
            EXPECT_TRUE(store.WriteString(step.section, step.key, step.value, file));
        EXPECT_EQ(TempFolder::Read(file), c.expected);
    }
}

TEST_F(ProfileFileWrite, WhatIsWrittenReadsBack)
{
    const std::wstring file = folder.File(L"roundtrip.ini");
    ASSERT_TRUE(store.WriteString(L"S", L"k", L"\"  x  \"", file));
    ASSERT_TRUE(store.WriteString(L"S", L"m", L"  gefr\u00e4st  ", file));
    std::wstring value;
    EXPECT_EQ(store.GetString(L"s", L"K", std::nullopt, value, 128, file), 5);
    EXPECT_EQ(value, L"  x  ");
    EXPECT_EQ(store.GetString(L"s", L"m", std::nullopt, value, 128, file), 7);
    EXPECT_EQ(value, L"gefr\u00e4st");
}

TEST_F(ProfileFileWrite, AnUnwritableFileIsReportedAndLeftAsItWas)
{
    // A folder where the file should be cannot be written, whoever runs the test.
    const std::wstring blocked = folder.File(L"blocked.ini");
    std::filesystem::create_directory(blocked);
    EXPECT_FALSE(store.WriteString(L"s", L"k", L"v", blocked));
    EXPECT_FALSE(store.WriteString(L"s", L"k", std::nullopt, blocked));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));

    const std::wstring noFolder = folder.File(L"missing") + L"/x.ini";
    EXPECT_FALSE(store.WriteString(L"s", L"k", L"v", noFolder));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(noFolder)));

    EXPECT_FALSE(store.WriteString(L"s", L"k", L"v", L""));
}

TEST_F(ProfileFileWrite, LongLinesAndJunkSurviveAnEdit)
{
    const std::wstring file = folder.File(L"junk.ini");
    std::string longLine(100000, 'x');
    std::string junk;
    // Every byte but "=", so that the junk lines are no keys of the section they stand in.
    for (int i = 0; i < 256; ++i)
    {
        if (i != '=')
            junk.push_back(static_cast<char>(i));
    }
    const std::string before = junk + "\r\n[s]\r\nlong=" + longLine + "\r\n" + junk + "\n[t]\rk=1";
    TempFolder::Write(file, before);
    ASSERT_TRUE(store.WriteString(L"t", L"k", L"2", file));
    EXPECT_EQ(TempFolder::Read(file), junk + "\r\n[s]\r\nlong=" + longLine + "\r\n" + junk + "\n[t]\rk=2\r\n");
    ASSERT_TRUE(store.WriteString(L"s", L"new", L"v", file));
    EXPECT_EQ(TempFolder::Read(file), junk + "\r\n[s]\r\nlong=" + longLine + "\r\nnew=v\r\n" + junk + "\n[t]\rk=2\r\n");
}

TEST(ProfileFile, NonAsciiFolderNames)
{
    TempFolder folder;
    const std::wstring file = folder.File(L"M\u00fcller.ini");
    FileProfileStore store;
    ASSERT_TRUE(store.WriteString(L"s", L"k", L"v", file));
    std::wstring value;
    EXPECT_EQ(store.GetString(L"s", L"k", std::nullopt, value, 128, file), 1);
    EXPECT_EQ(value, L"v");
}

} // namespace
