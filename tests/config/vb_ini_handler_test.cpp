#include "config/vb_ini_handler.h"

#include "config/profile_file.h"
#include "tests/config/temp_folder.h"
#include "tests/support/recording_profile_store.h"
#include "tests/support/sim_session_builder.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using config::vbIniHandler;
using config_testing::TempFolder;
using testing_support::RecordingProfileStore;

namespace
{

const std::wstring kIni = L"C:\\cad\\tool.ini";
const std::wstring kCfg = L"C:\\cad\\tool.cfg";

class IniHandlerConfigure : public ::testing::Test
{
protected:
    RecordingProfileStore store;
    vbIniHandler ini{store};
};

TEST_F(IniHandlerConfigure, WithoutRemoteSectionKeepsTheFile)
{
    ini.Configure(kIni, L"main");
    EXPECT_EQ(ini.iniFile, kIni);
    EXPECT_EQ(ini.cfgFile, kCfg);
    EXPECT_EQ(ini.iniSection, L"main");
    // "Active", then "file", each from the INI file and then from the file of defaults.
    const std::vector<RecordingProfileStore::Call> expected = {
        {kIni, L"Remote", L"Active", std::nullopt},
        {kCfg, L"Remote", L"Active", std::nullopt},
        {kIni, L"Remote", L"file", std::nullopt},
        {kCfg, L"Remote", L"file", std::nullopt},
    };
    EXPECT_EQ(store.reads, expected);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(IniHandlerConfigure, FollowsTheRedirection)
{
    struct Case
    {
        const char* name;
        std::wstring iniFile;
        std::wstring active;      ///< "" for none
        std::wstring fileSection; ///< where "file" stands
        std::wstring file;
        std::wstring expectedIni;
        std::wstring expectedCfg;
    };
    const std::vector<Case> cases = {
        {"file name beside", kIni, L"0", L"Remote", L"other.ini", L"C:\\cad\\other.ini", L"C:\\cad\\other.cfg"},
        {"Active missing", kIni, L"", L"Remote", L"other.ini", L"C:\\cad\\other.ini", L"C:\\cad\\other.cfg"},
        {"Active 2, full path", kIni, L"2", L"Remote02", L"D:\\std\\norm.ini", L"D:\\std\\norm.ini",
         L"D:\\std\\norm.cfg"},
        {"Active 12", kIni, L"12", L"Remote12", L"x.ini", L"C:\\cad\\x.ini", L"C:\\cad\\x.cfg"},
        {"Active 123", kIni, L"123", L"Remote123", L"x.ini", L"C:\\cad\\x.ini", L"C:\\cad\\x.cfg"},
        {"Active -1", kIni, L"-1", L"Remote-01", L"x.ini", L"C:\\cad\\x.ini", L"C:\\cad\\x.cfg"},
        {"Active 1.5 rounds to 2", kIni, L"1.5", L"Remote02", L"x.ini", L"C:\\cad\\x.ini", L"C:\\cad\\x.cfg"},
        {"backslash anywhere", kIni, L"0", L"Remote", L"sub\\x.ini", L"sub\\x.ini", L"sub\\x.cfg"},
        {"no folder", L"tool.ini", L"0", L"Remote", L"x.ini", L"\\x.ini", L"\\x.cfg"},
        {"only a leading backslash", L"\\tool.ini", L"0", L"Remote", L"x.ini", L"\\x.ini", L"\\x.cfg"},
        {"Active points at an empty section", kIni, L"3", L"Remote", L"x.ini", kIni, kCfg},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingProfileStore caseStore;
        vbIniHandler handler(caseStore);
        if (!c.active.empty())
            caseStore.Put(c.iniFile, L"Remote", L"Active", c.active);
        caseStore.Put(c.iniFile, c.fileSection, L"file", c.file);
        handler.Configure(c.iniFile, L"main");
        EXPECT_EQ(handler.iniFile, c.expectedIni);
        EXPECT_EQ(handler.cfgFile, c.expectedCfg);
        EXPECT_EQ(handler.iniSection, L"main");
    }
}

TEST_F(IniHandlerConfigure, RedirectionIsFollowedOnce)
{
    store.Put(kIni, L"Remote", L"file", L"second.ini");
    store.Put(L"C:\\cad\\second.ini", L"Remote", L"file", L"third.ini");
    ini.Configure(kIni, L"main");
    EXPECT_EQ(ini.iniFile, L"C:\\cad\\second.ini");
    for (const auto& read : store.reads)
        EXPECT_NE(read.file, L"C:\\cad\\second.ini");
}

TEST_F(IniHandlerConfigure, RedirectionFromTheFileOfDefaultsIsCopiedAndTakesEffect)
{
    store.Put(kCfg, L"Remote", L"Active", L"1");
    store.Put(kCfg, L"Remote01", L"file", L"other.ini");
    ini.Configure(kIni, L"main");
    EXPECT_EQ(store.Get(kIni, L"Remote", L"Active"), L"1");
    EXPECT_EQ(store.Get(kIni, L"Remote01", L"file"), L"other.ini");
    EXPECT_EQ(ini.iniFile, L"C:\\cad\\other.ini");
    EXPECT_EQ(ini.cfgFile, L"C:\\cad\\other.cfg");
}

TEST_F(IniHandlerConfigure, EmptyArgumentsKeepWhatWasThere)
{
    ini.Configure(kIni, L"main");
    ini.Configure(L"", L"SymbolFont");
    EXPECT_EQ(ini.iniFile, kIni);
    EXPECT_EQ(ini.iniSection, L"SymbolFont");

    const std::size_t readsBefore = store.reads.size();
    ini.Configure(L"C:\\cad\\b.ini", L"");
    EXPECT_EQ(ini.iniFile, L"C:\\cad\\b.ini");
    EXPECT_EQ(ini.cfgFile, L"C:\\cad\\b.cfg");
    EXPECT_EQ(ini.iniSection, L"SymbolFont");
    EXPECT_EQ(store.reads[readsBefore].section, L"Remote");

    ini.Configure(L"", L"");
    EXPECT_EQ(ini.iniFile, L"C:\\cad\\b.ini");
    EXPECT_EQ(ini.iniSection, L"SymbolFont");
}

TEST_F(IniHandlerConfigure, PathsShorterThanThreeCharactersAreInvalid)
{
    EXPECT_THROW(ini.Configure(L"ab", L"main"), ui::InvalidArgumentError);
    EXPECT_NO_THROW(ini.Configure(L"abc", L"main"));
    EXPECT_EQ(ini.cfgFile, L"cfg");

    RecordingProfileStore redirected;
    vbIniHandler handler(redirected);
    redirected.Put(kIni, L"Remote", L"file", L"\\");
    EXPECT_THROW(handler.Configure(kIni, L"main"), ui::InvalidArgumentError);
}

TEST_F(IniHandlerConfigure, OverflowingActiveIsPassedOn)
{
    store.Put(kIni, L"Remote", L"Active", L"99999999999");
    EXPECT_THROW(ini.Configure(kIni, L"main"), ui::OverflowError);
}

TEST_F(IniHandlerConfigure, PosixSeparatorPlaysThePartOfTheBackslash)
{
    RecordingProfileStore posix(L'/');
    vbIniHandler handler(posix);
    posix.Put(L"/opt/glm/glattmark.ini", L"Remote", L"file", L"shared.ini");
    handler.Configure(L"/opt/glm/glattmark.ini", L"main");
    EXPECT_EQ(handler.iniFile, L"/opt/glm/shared.ini");

    RecordingProfileStore posixFull(L'/');
    vbIniHandler full(posixFull);
    posixFull.Put(L"/opt/glm/glattmark.ini", L"Remote", L"file", L"C:\\not\\a\\folder.ini");
    full.Configure(L"/opt/glm/glattmark.ini", L"main");
    EXPECT_EQ(full.iniFile, L"/opt/glm/C:\\not\\a\\folder.ini");
}

TEST_F(IniHandlerConfigure, FromTheRunningMacro)
{
    const auto running = [](const std::string& macroPath) {
        return testing_support::Session(testing_support::SessionJson({}, {{"application", {{"macroPath", macroPath}}}}))
            ->Application();
    };
    ini.ConfigureSWX(*running("C:\\macros\\glattmark.swp"), L"main");
    EXPECT_EQ(ini.iniFile, L"C:\\macros\\glattmark.ini");
    EXPECT_EQ(ini.cfgFile, L"C:\\macros\\glattmark.cfg");
    EXPECT_EQ(ini.iniSection, L"main");

    EXPECT_THROW(ini.ConfigureSWX(*running(""), L"main"), ui::InvalidArgumentError);
}

TEST_F(IniHandlerConfigure, RawConfigurationReadsNoFileOfDefaults)
{
    ini.ConfigureRAW(kIni, L"main");
    EXPECT_EQ(ini.iniFile, kIni);
    EXPECT_EQ(ini.cfgFile, L"");
    EXPECT_TRUE(store.reads.empty());
    EXPECT_EQ(ini.GStr(L"k"), L"");
    ASSERT_EQ(store.reads.size(), 1u);
    EXPECT_EQ(store.reads[0].file, kIni);
    ini.ConfigureRAW(L"", L"");
    EXPECT_EQ(ini.iniSection, L"main");
}

class IniHandlerRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ini.Configure(kIni, L"s");
        store.reads.clear();
    }
    RecordingProfileStore store;
    vbIniHandler ini{store};
};

TEST_F(IniHandlerRead, TextFallsBackToTheFileOfDefaultsAndIsCopied)
{
    store.Put(kIni, L"s", L"both", L"from ini");
    store.Put(kCfg, L"s", L"both", L"from cfg");
    store.Put(kIni, L"s", L"empty", L"");
    store.Put(kCfg, L"s", L"empty", L"cfg value");
    store.Put(kCfg, L"s", L"onlyCfg", L"cfg only");

    std::wstring value;
    ini.GetStr(L"both", value, L"dflt");
    EXPECT_EQ(value, L"from ini");
    EXPECT_EQ(store.reads.size(), 1u) << "the file of defaults is not read";
    EXPECT_EQ(ini.lastLength, 8);

    ini.GetStr(L"empty", value, L"dflt");
    EXPECT_EQ(value, L"cfg value");
    ini.GetStr(L"onlyCfg", value, L"dflt");
    EXPECT_EQ(value, L"cfg only");
    const std::vector<RecordingProfileStore::Call> copies = {
        {kIni, L"s", L"empty", L"cfg value"},
        {kIni, L"s", L"onlyCfg", L"cfg only"},
    };
    EXPECT_EQ(store.writes, copies);

    store.writes.clear();
    ini.GetStr(L"nowhere", value, L"dflt");
    EXPECT_EQ(value, L"dflt");
    EXPECT_EQ(ini.lastLength, 0);
    EXPECT_TRUE(store.writes.empty()) << "a default is never written";
}

TEST_F(IniHandlerRead, LastLengthAndLastValueFollowTheirReads)
{
    store.Put(kCfg, L"s", L"cfgOnly", L"12345");
    store.Put(kIni, L"s", L"d", L"2,5");
    store.Put(kIni, L"s", L"b", L"Wahr");
    store.Put(kIni, L"s", L"t", L"text");

    std::int32_t number = 0;
    ini.GetVal(L"cfgOnly", number, 0);
    EXPECT_EQ(number, 12345);
    EXPECT_EQ(ini.lastLength, 5) << "the count of the read in the file of defaults";
    EXPECT_EQ(ini.lastValue, L"12345");

    double decimal = 0;
    ini.GetDbl(L"d", decimal, 0);
    EXPECT_EQ(ini.lastValue, L"2,5") << "raw, before the comma is replaced";
    bool flag = false;
    ini.GetBool(L"b", flag, false);
    EXPECT_EQ(ini.lastValue, L"Wahr") << "raw, before upper-casing";

    // Text reads count characters but leave lastValue alone.
    EXPECT_EQ(ini.GStr(L"t"), L"text");
    EXPECT_EQ(ini.lastLength, 4);
    EXPECT_EQ(ini.lastValue, L"Wahr");

    ini.GetVal(L"missing", number, 3);
    EXPECT_EQ(ini.lastValue, L"");
    EXPECT_EQ(ini.lastLength, 0);
}

TEST_F(IniHandlerRead, DeliversAtMost127Characters)
{
    store.Put(kIni, L"s", L"long", std::wstring(200, L'x'));
    EXPECT_EQ(ini.GStr(L"long"), std::wstring(127, L'x'));
    EXPECT_EQ(ini.lastLength, 127);
}

TEST_F(IniHandlerRead, IntegersByTheLeadingNumberRule)
{
    struct Case
    {
        std::wstring stored; ///< "" for none
        std::int32_t expected;
    };
    for (const Case& c :
         {Case{L"", 7}, Case{L"2.5", 2}, Case{L"3.5", 4}, Case{L"-2.5", -2}, Case{L"12abc", 12}, Case{L"2,7", 2},
          Case{L"abc", 0}, Case{L" 1 2 ", 12}, Case{L"&H10", 16}, Case{L"1e3", 1000}, Case{L"2d5", 2},
          Case{L"2147483647", 2147483647}, Case{L"-2147483648", std::numeric_limits<std::int32_t>::min()}})
    {
        SCOPED_TRACE(ui::ToUtf8(c.stored));
        store.Put(kIni, L"s", L"v", c.stored);
        std::int32_t value = -99;
        ini.GetVal(L"v", value, 7);
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(ini.lastValue, c.stored);
    }
    for (const wchar_t* tooLarge : {L"99999999999", L"2147483647.5", L"-2147483649", L"1e400"})
    {
        SCOPED_TRACE(ui::ToUtf8(tooLarge));
        store.Put(kIni, L"s", L"v", tooLarge);
        std::int32_t value = 5;
        EXPECT_THROW(ini.GetVal(L"v", value, 0), ui::OverflowError);
        EXPECT_EQ(value, 5);
    }
}

TEST_F(IniHandlerRead, DecimalsWithCommaOrPoint)
{
    struct Case
    {
        std::wstring stored;
        double expected;
    };
    for (const Case& c :
         {Case{L"", 9.5}, Case{L"2,5", 2.5}, Case{L"2.5", 2.5}, Case{L"0,065", 0.065}, Case{L"abc", 0},
          Case{L"1.234,5", 1.234}, Case{L"-0,19", -0.19}, Case{L"12mm", 12}, Case{L".5", 0.5}, Case{L"2,5d1", 2.5}})
    {
        SCOPED_TRACE(ui::ToUtf8(c.stored));
        store.Put(kIni, L"s", L"d", c.stored);
        double value = -99;
        ini.GetDbl(L"d", value, 9.5);
        EXPECT_NEAR(value, c.expected, 1e-9);
    }
}

TEST_F(IniHandlerRead, BooleansByTheirTable)
{
    struct Case
    {
        std::wstring stored;
        bool defaultValue;
        bool expected;
    };
    for (const Case& c :
         {Case{L"1", false, true}, Case{L"0", true, false}, Case{L"", true, true}, Case{L"", false, false},
          Case{L"-", true, true}, Case{L"true", false, true}, Case{L"Wahr", false, true}, Case{L"wahr", false, true},
          Case{L"FALSE", true, false}, Case{L"Falsch", true, false}, Case{L"-1", false, false}, Case{L"-1", true, true},
          Case{L"yes", false, false}, Case{L"2", true, true}, Case{L" ", true, true}})
    {
        SCOPED_TRACE(ui::ToUtf8(c.stored));
        store.Put(kIni, L"s", L"b", c.stored);
        bool value = !c.expected;
        ini.GetBool(L"b", value, c.defaultValue);
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(IniHandlerRead, WritesGoToTheIniFileOnly)
{
    ini.SetVal(L"a", -5);
    ini.SetBool(L"b", true);
    ini.SetBool(L"c", false);
    ini.SetStr(L"d", L"  as is ");
    ini.DeleteValue(L"a");
    ini.DeleteSection();
    const std::vector<RecordingProfileStore::Call> expected = {
        {kIni, L"s", L"a", L"-5"},       {kIni, L"s", L"b", L"1"},         {kIni, L"s", L"c", L"0"},
        {kIni, L"s", L"d", L"  as is "}, {kIni, L"s", L"a", std::nullopt}, {kIni, L"s", std::nullopt, std::nullopt},
    };
    EXPECT_EQ(store.writes, expected);
}

// The handler on real files: the copy-back creates and completes the INI file.
class IniHandlerFiles : public ::testing::Test
{
protected:
    TempFolder folder;
    config::FileProfileStore store;
    vbIniHandler ini{store};
    std::wstring iniPath = folder.File(L"tool.ini");
    std::wstring cfgPath = folder.File(L"tool.cfg");
};

TEST_F(IniHandlerFiles, CopyBackCreatesTheIniFile)
{
    TempFolder::Write(cfgPath, "[s]\r\nk=\"  x  \"\r\nn=3\r\n");
    ini.Configure(iniPath, L"s");
    EXPECT_FALSE(TempFolder::Read(iniPath)) << "nothing to copy during Configure";
    EXPECT_EQ(ini.GStr(L"k"), L"  x  ");
    EXPECT_EQ(ini.GVal(L"n"), 3);
    EXPECT_EQ(ini.GStr(L"missing"), L"");
    EXPECT_EQ(TempFolder::Read(iniPath), "[s]\r\nk=  x  \r\nn=3\r\n");
    // From now on the INI file answers, with its blanks trimmed.
    EXPECT_EQ(ini.GStr(L"k"), L"x");
}

TEST_F(IniHandlerFiles, AnEmptyKeyIsCompletedWhereItStands)
{
    TempFolder::Write(iniPath, "[s]\r\nKEY=\r\nother=1\r\n");
    TempFolder::Write(cfgPath, "[s]\r\nkey=value\r\n");
    ini.Configure(iniPath, L"s");
    EXPECT_EQ(ini.GStr(L"key"), L"value");
    EXPECT_EQ(TempFolder::Read(iniPath), "[s]\r\nKEY=value\r\nother=1\r\n");
}

TEST_F(IniHandlerFiles, RedirectionCopiedFromTheFileOfDefaults)
{
    TempFolder::Write(cfgPath, "[Remote]\r\nActive=1\r\n[Remote01]\r\nfile=other.ini\r\n");
    TempFolder::Write(folder.File(L"other.ini"), "[main]\r\nk=redirected\r\n");
    ini.Configure(iniPath, L"main");
    EXPECT_EQ(ini.iniFile, folder.File(L"other.ini"));
    EXPECT_EQ(ini.GStr(L"k"), L"redirected");
    EXPECT_EQ(TempFolder::Read(iniPath), "[Remote]\r\nActive=1\r\n[Remote01]\r\nfile=other.ini\r\n");
}

TEST_F(IniHandlerFiles, ReadOnlyIniFileGoesUnnoticed)
{
    // A folder in the INI file's place cannot be written by anyone.
    std::filesystem::create_directory(iniPath);
    TempFolder::Write(cfgPath, "[s]\r\nk=v\r\n");
    ini.Configure(iniPath, L"s");
    EXPECT_EQ(ini.GStr(L"k"), L"v");
    EXPECT_EQ(ini.GStr(L"k"), L"v");
}

} // namespace
