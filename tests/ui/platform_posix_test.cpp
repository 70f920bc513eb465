#include "ui/error_object.h"
#include "ui/message_window_terminal.h"
#include "ui/platform_posix.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Sets one environment variable for the life of the guard. The process's locale is left alone:
// the platform reads the environment through a locale object of its own.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = getenv(name))
            m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnvironment()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

bool LocaleExists(const char* name)
{
    const locale_t locale = newlocale(LC_NUMERIC_MASK, name, locale_t{});
    if (locale == locale_t{})
        return false;
    freelocale(locale);
    return true;
}

TEST(PosixPlatform, DecimalSeparatorFollowsTheEnvironmentsLocale)
{
    // The German locale is required: without it, a platform that always answers '.' would pass.
    ASSERT_TRUE(LocaleExists("de_DE.UTF-8")) << "no German locale; scripts/install-deps.sh installs it";
    struct Case
    {
        const char* locale;
        wchar_t separator;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", L','},
        {"de_DE.utf8", L','},
        {"C", L'.'},
        {"en_US.UTF-8", L'.'},
    };
    ui::PosixPlatform platform;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.locale);
        if (!LocaleExists(c.locale))
            continue; // only the German locale must be installed
        const ScopedEnvironment lcAll("LC_ALL", c.locale);
        EXPECT_EQ(platform.DecimalSeparator(), c.separator);
    }
}

TEST(PosixPlatform, DecimalSeparatorIsPointWhenTheLocaleCannotBeLoaded)
{
    const ScopedEnvironment lcAll("LC_ALL", "xx_NOWHERE.UTF-8");
    ui::PosixPlatform platform;
    EXPECT_EQ(platform.DecimalSeparator(), L'.');
}

TEST(PosixPlatform, DecimalSeparatorLeavesTheProcessLocaleAlone)
{
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    ui::PosixPlatform platform;
    platform.DecimalSeparator();
    EXPECT_EQ(std::string(setlocale(LC_NUMERIC, nullptr)), before);
}

TEST(PosixPlatform, LoginNameIsNotEmpty)
{
    ui::PosixPlatform platform;
    const auto name = platform.LoginName();
    ASSERT_TRUE(name.has_value());
    EXPECT_FALSE(name->empty());
    EXPECT_EQ(name->find(L'\0'), std::wstring::npos);
}

TEST(PosixPlatform, ExecutablePathNamesThisTestProgram)
{
    ui::PosixPlatform platform;
    const std::filesystem::path path(platform.ExecutablePath());
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    EXPECT_EQ(path.filename(), std::filesystem::path("ui_posix_tests"));
}

TEST(TerminalMessages, WriteCaptionAndTextAsUtf8AndTellTheObserver)
{
    std::ostringstream out;
    std::vector<std::pair<std::wstring, std::wstring>> seen;
    const auto observer = [&](const std::wstring& caption, const std::wstring& text) {
        seen.emplace_back(caption, text);
    };

    ui::TerminalMessageWindow window(out, observer);
    ui::ErrorObject cc(window);
    cc.Init(L"SW Oberfl\u00e4chen - Assistent", 1, true);
    cc.eNoDRW();
    cc.DisplayError();
    EXPECT_EQ(cc.QResult, 1); // nobody may be there to press "Ok": it counts as pressed

    ui::TerminalReportBox box(out, observer);
    box.Show(L"Normfix", L"2 Symbole ge\u00e4ndert");

    EXPECT_EQ(out.str(), "SW Oberfl\xc3\xa4"
                         "chen - Assistent: Kein Zeichnung ge\xc3\xb6"
                         "ffnet.\n"
                         "Normfix: 2 Symbole ge\xc3\xa4"
                         "ndert\n");
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"SW Oberfl\u00e4chen - Assistent", L"Kein Zeichnung ge\u00f6ffnet."},
        {L"Normfix", L"2 Symbole ge\u00e4ndert"},
    };
    EXPECT_EQ(seen, expected);
}

TEST(TerminalMessages, WorkWithoutAnObserver)
{
    std::ostringstream out;
    ui::TerminalReportBox box(out, {});
    box.Show(L"", L"");
    EXPECT_EQ(out.str(), ": \n");
}

} // namespace
