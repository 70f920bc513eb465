#include "config/settings.h"

#include "config/profile_file.h"
#include "tests/config/temp_folder.h"
#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/recording_profile_store.h"
#include "ui/conversions.h"
#include "ui/error_object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using config_testing::TempFolder;
using testing_support::RecordingProfileStore;

namespace
{

const std::wstring kIni = L"C:\\glm\\glattmark.ini";
const std::wstring kCfg = L"C:\\glm\\glattmark.cfg";

/// What one loading leaves: the settings, the error object and the handler.
struct Loaded
{
    Loaded(config::ProfileStore& profiles, ui::MessageWindow& window) : cc(window), iniHandler(profiles) {}

    ui::ErrorObject cc;
    config::vbIniHandler iniHandler;
    config::Settings settings;
};

class SettingsLoad : public ::testing::Test
{
protected:
    /// Loads the settings from the INI file at iniPath through the given store.
    Loaded Load(config::ProfileStore& profiles, const std::wstring& iniPath)
    {
        Loaded loaded(profiles, window);
        config::LoadSettings(loaded.iniHandler, iniPath, platform, loaded.settings, loaded.cc);
        return loaded;
    }

    testing_support::RecordingMessageWindow window;
    testing_support::FakePlatform platform;
    RecordingProfileStore store;
};

TEST_F(SettingsLoad, NoFilesGiveTheDefaults)
{
    TempFolder folder;
    config::FileProfileStore files;
    const Loaded loaded = Load(files, folder.File(L"glattmark.ini"));

    const config::Settings& s = loaded.settings;
    EXPECT_FALSE(loaded.cc.IsErr());
    EXPECT_EQ(s.formatCount, 0);
    EXPECT_EQ(s.bracketBase, 0);
    EXPECT_EQ(s.hAlign, 0);
    EXPECT_EQ(s.sortSymbols, 0);
    EXPECT_EQ(s.standardType, 1);
    EXPECT_EQ(s.rowForm, 0);
    EXPECT_EQ(s.scanScope, 0);
    EXPECT_EQ(s.busyTimeout, 30);
    EXPECT_EQ(s.hangTimeout, 15);
    EXPECT_EQ(s.symbolFontName, L"");
    EXPECT_EQ(s.symbolFontHeight, 0);
    EXPECT_EQ(s.bracketFontName, L"");
    EXPECT_EQ(s.bracketFontHeight, 0);
    EXPECT_EQ(s.roughCount, 0);
    EXPECT_EQ(s.roughName, L"Ra");
    EXPECT_EQ(s.roughStandard, 0);
    EXPECT_EQ(s.methodeCount, 0);
    EXPECT_EQ(s.methodeStandard, 0);
    EXPECT_FALSE(s.normFixEnabled);
    EXPECT_FALSE(s.normFixFeedback);
    EXPECT_EQ(s.superUserCount, 0);
    EXPECT_FALSE(s.normFixLocked);
    EXPECT_FALSE(TempFolder::Read(folder.File(L"glattmark.ini"))) << "no default is ever written";
    EXPECT_EQ(loaded.iniHandler.iniSection, L"NormFix");
}

TEST_F(SettingsLoad, TimeoutsInSecondsFallBackToTheirDefaultsUnlessANumber)
{
    struct Case
    {
        std::wstring text;
        std::int32_t busy; ///< with the default 30
        std::int32_t hang; ///< with the default 15
    };
    const Case cases[] = {
        {L"0", 0, 0}, {L"3", 3, 3}, {L"2.6", 3, 3}, {L"", 30, 15}, {L"lang", 30, 15}, {L"-1", 30, 15},
    };
    for (const Case& c : cases)
    {
        RecordingProfileStore profiles;
        profiles.Put(kIni, L"main", L"BusyTimeout", c.text);
        profiles.Put(kIni, L"main", L"HangTimeout", c.text);
        const Loaded loaded = Load(profiles, kIni);
        EXPECT_EQ(loaded.settings.busyTimeout, c.busy) << ui::ToUtf8(c.text);
        EXPECT_EQ(loaded.settings.hangTimeout, c.hang) << ui::ToUtf8(c.text);
    }
}

TEST_F(SettingsLoad, ReadsInTheFixedOrder)
{
    store.Put(kIni, L"main", L"FormatCount", L"1");
    store.Put(kIni, L"RoughList", L"Count", L"1");
    store.Put(kIni, L"MethodeList", L"Count", L"1");
    store.Put(kIni, L"NormFix", L"enabled", L"1");
    store.Put(kIni, L"NormFix", L"SuperUser", L"1");
    store.Put(kIni, L"NormFix", L"user01", L"nobody");
    platform.loginName = L"someone";
    const Loaded loaded = Load(store, kIni);

    std::vector<std::pair<std::wstring, std::wstring>> iniReads;
    for (const auto& read : store.reads)
    {
        if (read.file == kIni)
            iniReads.emplace_back(read.section, *read.key);
    }
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Remote", L"Active"},
        {L"Remote", L"file"},
        {L"main", L"FormatCount"},
        {L"main", L"BracketBase"},
        {L"main", L"HAlign"},
        {L"main", L"Sort"},
        {L"main", L"StandardType"},
        {L"main", L"Form"},
        {L"main", L"Scope"},
        {L"main", L"BusyTimeout"},
        {L"main", L"HangTimeout"},
        {L"main", L"LogFile"}, // the log of host calls, a key of its own after the classic ones
        {L"SymbolFont", L"FontName"},
        {L"SymbolFont", L"FontHeight"},
        {L"BracketFont", L"FontName"},
        {L"BracketFont", L"FontHeight"},
        {L"Format01", L"Name"},
        {L"Format01", L"FormatCode"},
        {L"Format01", L"BasePointX"},
        {L"Format01", L"BasePointY"},
        {L"RoughList", L"Count"},
        {L"RoughList", L"Rough01"},
        {L"RoughList", L"Name"},
        {L"RoughList", L"Standard"},
        {L"MethodeList", L"Count"},
        {L"MethodeList", L"Methode01"},
        {L"MethodeList", L"Standard"},
        {L"NormFix", L"enabled"},
        {L"NormFix", L"feedback"},
        {L"NormFix", L"SuperUser"},
        {L"NormFix", L"user01"},
    };
    EXPECT_EQ(iniReads, expected);
    EXPECT_TRUE(loaded.settings.normFixLocked);
}

TEST_F(SettingsLoad, IndexedSectionsAndKeysUpToTheCounts)
{
    store.Put(kIni, L"main", L"FormatCount", L"2");
    store.Put(kIni, L"Format00", L"Name", L"never");
    store.Put(kIni, L"Format01", L"Name", L"A4 hoch");
    store.Put(kIni, L"Format01", L"FormatCode", L"7");
    store.Put(kIni, L"Format01", L"BasePointX", L"0,02");
    store.Put(kIni, L"Format01", L"BasePointY", L"0.065");
    store.Put(kIni, L"Format02", L"Name", L"A3");
    store.Put(kIni, L"Format02", L"FormatCode", L"8");
    store.Put(kIni, L"Format03", L"Name", L"beyond the count");
    store.Put(kIni, L"RoughList", L"Count", L"3");
    for (const wchar_t* key : {L"Rough01", L"Rough02", L"Rough03", L"Rough04"})
        store.Put(kIni, L"RoughList", key, key);
    store.Put(kIni, L"RoughList", L"Standard", L"2");
    store.Put(kIni, L"RoughList", L"Name", L"Rz");
    store.Put(kIni, L"MethodeList", L"Count", L"1");
    store.Put(kIni, L"MethodeList", L"Methode01", L"gefr\u00e4st");
    store.Put(kIni, L"MethodeList", L"Standard", L"0");
    store.Put(kIni, L"main", L"StandardType", L"7");
    const Loaded loaded = Load(store, kIni);

    const config::Settings& s = loaded.settings;
    EXPECT_FALSE(loaded.cc.IsErr());
    EXPECT_EQ(s.formats[0].Name, L"A4 hoch");
    EXPECT_EQ(s.formats[0].FormatCode, 7);
    EXPECT_NEAR(s.formats[0].BasePointX, 0.02, 1e-9);
    EXPECT_NEAR(s.formats[0].BasePointY, 0.065, 1e-9);
    EXPECT_EQ(s.formats[1].Name, L"A3");
    EXPECT_EQ(s.formats[1].FormatCode, 8);
    EXPECT_EQ(s.formats[2].Name, L"");
    EXPECT_EQ(s.roughCount, 3);
    EXPECT_EQ(s.roughList[2], L"Rough03");
    EXPECT_EQ(s.roughList[3], L"");
    EXPECT_EQ(s.roughStandard, 1);
    EXPECT_EQ(s.roughName, L"Rz");
    EXPECT_EQ(s.methodeList[0], L"gefr\u00e4st");
    // Out-of-range choices are kept as read; the dialog deals with them.
    EXPECT_EQ(s.methodeStandard, -1);
    EXPECT_EQ(s.standardType, 7);
    for (const auto& read : store.reads)
    {
        EXPECT_NE(read.section, L"Format00");
        EXPECT_NE(read.section, L"Format03");
        EXPECT_NE(read.key, L"Rough04");
    }
}

TEST_F(SettingsLoad, EachStandardHasItsOwnDefault)
{
    // A "Standard" of one list must not carry over to the other list when that one has none.
    struct Case
    {
        const char* name;
        std::optional<std::wstring> roughStandard;
        std::optional<std::wstring> methodeStandard;
        std::int32_t expectedRough;
        std::int32_t expectedMethode;
    };
    const std::vector<Case> cases = {
        {"rough only", L"5", std::nullopt, 4, 0},
        {"methode only", std::nullopt, L"3", 0, 2},
        {"both", L"21", L"1", 20, 0},
        {"rough empty text", L"", L"2", 0, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingProfileStore caseStore;
        if (c.roughStandard)
            caseStore.Put(kIni, L"RoughList", L"Standard", *c.roughStandard);
        if (c.methodeStandard)
            caseStore.Put(kIni, L"MethodeList", L"Standard", *c.methodeStandard);
        const Loaded loaded = Load(caseStore, kIni);
        EXPECT_FALSE(loaded.cc.IsErr());
        EXPECT_EQ(loaded.settings.roughStandard, c.expectedRough);
        EXPECT_EQ(loaded.settings.methodeStandard, c.expectedMethode);
    }
}

TEST_F(SettingsLoad, CountsAtCapacityLoadEveryEntry)
{
    store.Put(kIni, L"main", L"FormatCount", L"11");
    store.Put(kIni, L"Format11", L"Name", L"last");
    store.Put(kIni, L"RoughList", L"Count", L"21");
    store.Put(kIni, L"RoughList", L"Rough21", L"50");
    store.Put(kIni, L"MethodeList", L"Count", L"21");
    store.Put(kIni, L"MethodeList", L"Methode21", L"poliert");
    const Loaded loaded = Load(store, kIni);
    EXPECT_FALSE(loaded.cc.IsErr());
    EXPECT_EQ(loaded.settings.formats[10].Name, L"last");
    EXPECT_EQ(loaded.settings.roughList[20], L"50");
    EXPECT_EQ(loaded.settings.methodeList[20], L"poliert");
}

TEST_F(SettingsLoad, BrokenConfigurationRecordsBadIniAndStops)
{
    struct Case
    {
        const char* name;
        std::wstring section;
        std::wstring key;
        std::wstring value;
        std::int32_t config::Settings::*count; ///< the count that must not stay above its capacity
        bool normFixRead;                      ///< whether loading got as far as "NormFix"
    };
    const std::vector<Case> cases = {
        {"FormatCount 12", L"main", L"FormatCount", L"12", &config::Settings::formatCount, false},
        {"rough Count 22", L"RoughList", L"Count", L"22", &config::Settings::roughCount, false},
        {"methode Count 22", L"MethodeList", L"Count", L"22", &config::Settings::methodeCount, false},
        {"HAlign beyond 32 bits", L"main", L"HAlign", L"99999999999", nullptr, false},
        {"Active beyond 32 bits", L"Remote", L"Active", L"4294967296", nullptr, false},
        {"Standard at the bottom of 32 bits", L"RoughList", L"Standard", L"-2147483648", nullptr, false},
        {"BasePointX beyond a double", L"Format01", L"BasePointX", L"1e400", nullptr, false},
        {"redirection to a too short path", L"Remote", L"file", L"\\", nullptr, false},
        {"SuperUser beyond 32 bits", L"NormFix", L"SuperUser", L"3e10", nullptr, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingProfileStore caseStore;
        caseStore.Put(kIni, L"main", L"FormatCount", L"1");
        caseStore.Put(kIni, c.section, c.key, c.value);
        const Loaded loaded = Load(caseStore, kIni);
        EXPECT_EQ(loaded.cc.Description(), ui::kTextBadIni);
        EXPECT_EQ(loaded.cc.Code(), ui::ErrorObject::kShownError);
        if (c.count)
        {
            EXPECT_EQ(loaded.settings.*c.count, 0);
        }
        bool normFixRead = false;
        for (const auto& read : caseStore.reads)
            normFixRead = normFixRead || read.section == L"NormFix";
        EXPECT_EQ(normFixRead, c.normFixRead);
    }
}

TEST_F(SettingsLoad, NegativeCountsReadNothing)
{
    store.Put(kIni, L"main", L"FormatCount", L"-1");
    store.Put(kIni, L"RoughList", L"Count", L"-3");
    store.Put(kIni, L"MethodeList", L"Count", L"-2147483648");
    const Loaded loaded = Load(store, kIni);
    EXPECT_FALSE(loaded.cc.IsErr());
    EXPECT_EQ(loaded.settings.formatCount, -1);
    EXPECT_EQ(loaded.settings.roughCount, -3);
    for (const auto& read : store.reads)
    {
        EXPECT_NE(read.section.rfind(L"Format", 0), 0u) << ui::ToUtf8(read.section);
        EXPECT_NE(read.key->rfind(L"Rough", 0), 0u);
        EXPECT_NE(read.key->rfind(L"Methode", 0), 0u);
    }
}

TEST_F(SettingsLoad, SuperUsersMaySwitchNormFixOff)
{
    struct Case
    {
        const char* name;
        std::wstring superUser;
        std::wstring enabled;
        std::optional<std::wstring> login;
        std::vector<std::pair<std::wstring, std::wstring>> users;
        bool expectedLocked;
        std::int32_t expectedUserReads;
    };
    const std::wstring kMost = L"2147483647";
    const std::vector<Case> cases = {
        {"no super users", L"0", L"1", L"meier", {{L"user01", L"schulz"}}, false, 0},
        {"listed in other case", L"2", L"1", L" Meier ", {{L"user01", L"schulz"}, {L"user02", L"mEIER"}}, false, 2},
        {"not listed", L"2", L"1", L"meier", {{L"user01", L"schulz"}, {L"user02", L"wolf"}}, true, 2},
        {"first match ends the search", L"3", L"1", L"schulz", {{L"user01", L"schulz"}}, false, 1},
        {"Normfix off: nothing read", L"2", L"0", L"meier", {{L"user01", L"meier"}}, true, 0},
        {"negative count", L"-1", L"1", L"meier", {{L"user01", L"meier"}}, true, 0},
        {"umlaut in the name", L"1", L"wahr", L"m\u00fcller", {{L"user01", L"M\u00dcLLER"}}, false, 1},
        {"login unknown, empty entry", L"1", L"1", std::nullopt, {}, false, 1},
        {"login unknown, names listed", L"2", L"1", std::nullopt, {{L"user01", L"a"}, {L"user02", L"b"}}, true, 2},
        {"empty login, empty entry", L"1", L"1", L"", {{L"user01", L""}}, false, 1},
        // A count far beyond the keys ends where the full count would end, after the first missing key.
        {"huge count, not listed", kMost, L"1", L"meier", {{L"user01", L"schulz"}, {L"user02", L"wolf"}}, true, 3},
        {"huge count, listed", kMost, L"1", L"wolf", {{L"user01", L"schulz"}, {L"user02", L"wolf"}}, false, 2},
        {"huge count, login unknown", kMost, L"1", std::nullopt, {{L"user01", L"a"}, {L"user02", L"b"}}, false, 3},
        {"huge count, gap matches an empty login", kMost, L"1", L"", {{L"user01", L"a"}, {L"user03", L"c"}}, false, 2},
        {"huge count, three digits", kMost, L"1", L"meier", {{L"user100", L"x"}, {L"user0200", L"meier"}}, true, 101},
        {"huge count, no keys", kMost, L"1", L"meier", {}, true, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingProfileStore caseStore;
        caseStore.Put(kIni, L"NormFix", L"SuperUser", c.superUser);
        caseStore.Put(kIni, L"NormFix", L"enabled", c.enabled);
        for (const auto& [key, name] : c.users)
            caseStore.Put(kIni, L"NormFix", key, name);
        platform.loginName = c.login;
        const Loaded loaded = Load(caseStore, kIni);
        EXPECT_FALSE(loaded.cc.IsErr());
        EXPECT_EQ(loaded.settings.normFixLocked, c.expectedLocked);
        std::vector<std::wstring> userReads;
        for (const auto& read : caseStore.reads)
        {
            if (read.file == kIni && read.key->rfind(L"user", 0) == 0)
                userReads.push_back(*read.key);
        }
        std::vector<std::wstring> expectedReads;
        for (std::int32_t i = 1; i <= c.expectedUserReads; ++i)
            expectedReads.push_back(L"user" + ui::Format00(i));
        EXPECT_EQ(userReads, expectedReads);
    }
}

TEST_F(SettingsLoad, AHugeSuperUserCountSeesTheKeysOfEveryFileRead)
{
    struct Case
    {
        const char* name;
        std::string ini;
        std::string cfg;
        std::string other; ///< other.ini, the target of the redirection
        std::string otherCfg;
        bool expectedLocked;
    };
    const std::string normFix = "[NormFix]\r\nenabled=1\r\nSuperUser=2147483647\r\n";
    const std::string redirect = "[Remote]\r\nfile=other.ini\r\n";
    const std::vector<Case> cases = {
        {"in the file of defaults", normFix, "[NormFix]\r\nuser01=a\r\nuser03=MEIER\r\n", "", "", false},
        {"name written in capitals", normFix + "USER02=meier\r\n", "", "", "", false},
        {"in the redirected file's defaults", redirect + "[NormFix]\r\nuser01=a\r\n", "", normFix,
         "[NormFix]\r\nuser05=meier\r\n", false},
        {"beside the redirected file only", redirect, "[NormFix]\r\nuser02=meier\r\n", normFix, "", true},
        {"not listed", normFix + "user01=a\r\n", "[NormFix]\r\nuser02=b\r\n", "", "", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::vector<std::pair<std::wstring, const std::string*>> written = {{L"glattmark.ini", &c.ini},
                                                                                  {L"glattmark.cfg", &c.cfg},
                                                                                  {L"other.ini", &c.other},
                                                                                  {L"other.cfg", &c.otherCfg}};
        for (const auto& [name, bytes] : written)
        {
            if (!bytes->empty())
                TempFolder::Write(folder.File(name), *bytes);
        }
        config::FileProfileStore files;
        platform.loginName = L"meier";
        const Loaded loaded = Load(files, folder.File(L"glattmark.ini"));
        EXPECT_FALSE(loaded.cc.IsErr());
        EXPECT_EQ(loaded.settings.superUserCount, 2147483647);
        EXPECT_EQ(loaded.settings.normFixLocked, c.expectedLocked);
    }
}

TEST_F(SettingsLoad, OnlyTheFileOfDefaultsFillsANewIniFile)
{
    TempFolder folder;
    config::FileProfileStore files;
    const std::wstring iniPath = folder.File(L"glattmark.ini");
    TempFolder::Write(folder.File(L"glattmark.cfg"),
                      "[main]\r\nFormatCount=1\r\nSort=1\r\nScope=1\r\nForm=1\r\n"
                      "LogFile=protokoll.txt\r\n[Format01]\r\nName=A4\r\nFormatCode=7\r\n"
                      "[NormFix]\r\nenabled=wahr\r\n"
                      "[Unused]\r\nx=1\r\n");
    const Loaded loaded = Load(files, iniPath);
    EXPECT_EQ(loaded.settings.sortSymbols, 1);
    EXPECT_EQ(loaded.settings.rowForm, 1);
    EXPECT_EQ(loaded.settings.scanScope, 1);
    EXPECT_EQ(loaded.settings.logFile, L"protokoll.txt");
    EXPECT_EQ(loaded.settings.formats[0].FormatCode, 7);
    EXPECT_TRUE(loaded.settings.normFixEnabled);
    EXPECT_EQ(TempFolder::Read(iniPath), "[main]\r\nFormatCount=1\r\nSort=1\r\nForm=1\r\nScope=1\r\n"
                                         "LogFile=protokoll.txt\r\n[Format01]\r\nName=A4\r\nFormatCode=7\r\n"
                                         "[NormFix]\r\nenabled=wahr\r\n");
}

TEST_F(SettingsLoad, TheExampleConfiguration)
{
    const char* source = std::getenv("GLM_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::filesystem::path examples = std::filesystem::path(source) / "examples";
    TempFolder folder;
    std::filesystem::copy_file(examples / "glattmark.ini", folder.Path() / "glattmark.ini");
    std::filesystem::copy_file(examples / "glattmark.cfg", folder.Path() / "glattmark.cfg");
    const std::wstring iniPath = folder.File(L"glattmark.ini");
    const auto before = TempFolder::Read(iniPath);

    config::FileProfileStore files;
    platform.loginName = L"mustermann";
    const Loaded loaded = Load(files, iniPath);

    const config::Settings& s = loaded.settings;
    EXPECT_FALSE(loaded.cc.IsErr());
    ASSERT_EQ(s.formatCount, 7);
    EXPECT_EQ(s.formats[0].FormatCode, 7);
    EXPECT_EQ(s.formats[6].FormatCode, 4200297);
    EXPECT_NEAR(s.formats[6].BasePointX, 0.23, 1e-9);
    EXPECT_EQ(s.roughList[static_cast<std::size_t>(s.roughStandard)], L"3,2");
    EXPECT_EQ(s.roughName, L"Ra");
    EXPECT_EQ(s.methodeList[0], L"gefr\u00e4st");
    EXPECT_EQ(s.symbolFontName, L"Arial");
    EXPECT_EQ(s.symbolFontHeight, 14);
    EXPECT_EQ(s.bracketFontHeight, 10);
    EXPECT_EQ(s.rowForm, 0); // named in both files, commented out
    EXPECT_EQ(s.scanScope, 0);
    EXPECT_TRUE(s.normFixEnabled);
    EXPECT_TRUE(s.normFixFeedback);
    EXPECT_FALSE(s.normFixLocked);

    // What came from the file of defaults now stands in the INI file: new keys after the last key of
    // their section, new sections at the end in the order read; every other byte stays.
    ASSERT_TRUE(before);
    std::string expected = *before;
    const auto insertAfter = [&expected](const std::string& line, const std::string& added) {
        const std::size_t at = expected.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        expected.insert(at + line.size(), added);
    };
    insertAfter("StandardType=1\r\n", "HAlign=0\r\nSort=1\r\n");
    insertAfter("Standard=8\r\n", "Name=Ra\r\n");
    insertAfter("user02=mustermann\r\n", "feedback=1\r\n");
    expected += "[Remote]\r\nActive=0\r\n[SymbolFont]\r\nFontName=Arial\r\nFontHeight=14\r\n"
                "[BracketFont]\r\nFontName=Arial\r\nFontHeight=10\r\n";
    EXPECT_EQ(TempFolder::Read(iniPath), expected);
}

TEST(IniPathBesideExecutable, FolderNameAndIni)
{
    struct Case
    {
        std::wstring exe;
        wchar_t separator;
        std::wstring expected;
    };
    for (const Case& c :
         {Case{L"C:\\Programme\\Glattmark\\glattmark.exe", L'\\', L"C:\\Programme\\Glattmark\\glattmark.ini"},
          Case{L"/opt/glattmark/bin/glattmark-sim", L'/', L"/opt/glattmark/bin/glattmark-sim.ini"},
          Case{L"/opt/v1.2/tool.x.exe", L'/', L"/opt/v1.2/tool.x.ini"}, Case{L"glattmark.exe", L'\\', L"glattmark.ini"},
          Case{L"\\glattmark.exe", L'\\', L"\\glattmark.ini"}})
    {
        SCOPED_TRACE(ui::ToUtf8(c.exe));
        EXPECT_EQ(config::IniPathBesideExecutable(c.exe, c.separator), c.expected);
    }
}

} // namespace
