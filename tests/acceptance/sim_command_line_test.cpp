#include "app/sim/sim_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using app::sim::ParseSimCommandLine;
using app::sim::SimAnswer;

TEST(SimCommandLine, ReadsEveryOptionWithItsValue)
{
    const auto result = ParseSimCommandLine(
        {"--out",       "o.json", "s.json",        "--ini",          "g.ini",   "--kind",       "2",
         "--type-kind", "Roh",    "--method",      "gefr\xc3\xa4st", "--rough", "6,3",          "--normfix",
         "0",           "--user", "anna",          "--decimal",      ",",       "--transcript", "t.json",
         "--svg",       "b.svg",  "--interactive", "--log",          "l.txt"});
    ASSERT_TRUE(result.options.has_value()) << std::string(result.error.begin(), result.error.end());
    const app::sim::SimOptions& o = *result.options;
    EXPECT_EQ(o.sessionPath, "s.json");
    EXPECT_EQ(*o.outPath, "o.json");
    EXPECT_EQ(*o.iniPath, "g.ini");
    EXPECT_EQ(*o.kind, 2);
    EXPECT_EQ(*o.typeKind, L"Roh");
    EXPECT_EQ(*o.method, L"gefr\u00e4st");
    EXPECT_EQ(*o.rough, L"6,3");
    EXPECT_EQ(*o.normFix, false);
    EXPECT_EQ(*o.user, L"anna");
    EXPECT_EQ(*o.decimal, L',');
    EXPECT_EQ(*o.transcriptPath, "t.json");
    EXPECT_EQ(*o.svgPath, "b.svg");
    EXPECT_EQ(*o.logPath, "l.txt");
    EXPECT_TRUE(o.interactive);
    EXPECT_EQ(o.answer, SimAnswer::Ok);
    EXPECT_TRUE(app::sim::HasAnswerOption(o));
}

TEST(SimCommandLine, OnlyTheSessionLeavesTheProposalAndPressesOk)
{
    const auto result = ParseSimCommandLine({"s.json"});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_EQ(result.options->answer, SimAnswer::Ok);
    EXPECT_FALSE(app::sim::HasAnswerOption(*result.options));
    EXPECT_FALSE(result.options->outPath.has_value());
    EXPECT_FALSE(result.options->iniPath.has_value());
}

TEST(SimCommandLine, CancelAndCloseAreAnswers)
{
    const auto cancel = ParseSimCommandLine({"s.json", "--cancel"});
    ASSERT_TRUE(cancel.options.has_value());
    EXPECT_EQ(cancel.options->answer, SimAnswer::Cancel);
    EXPECT_TRUE(app::sim::HasAnswerOption(*cancel.options));

    const auto close = ParseSimCommandLine({"--close", "s.json"});
    ASSERT_TRUE(close.options.has_value());
    EXPECT_EQ(close.options->answer, SimAnswer::Close);
}

TEST(SimCommandLine, AnEmptyUserIsKeptAsAName)
{
    const auto result = ParseSimCommandLine({"s.json", "--user", ""});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_EQ(*result.options->user, L"");
}

TEST(SimCommandLine, ALaterValueReplacesAnEarlierOne)
{
    const auto result = ParseSimCommandLine({"s.json", "--kind", "0", "--kind", "1"});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_EQ(*result.options->kind, 1);
}

TEST(SimCommandLine, RefusesWhatCannotBeRun)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--kind", "1"},
        {"s.json", "--kind"},
        {"s.json", "--kind", "3"},
        {"s.json", "--kind", "-1"},
        {"s.json", "--kind", "01"},
        {"s.json", "--kind", "1.0"},
        {"s.json", "--kind", ""},
        {"s.json", "--normfix", "2"},
        {"s.json", "--normfix", "true"},
        {"s.json", "--normfix"},
        {"s.json", "--out"},
        {"s.json", "--bogus"},
        {"s.json", "-x"},
        {"s.json", "t.json"},
        {"s.json", "--decimal", ""},
        {"s.json", "--decimal", ",,"},
        {"s.json", "--cancel", "--close"},
        {""},
    };
    for (const auto& args : cases)
    {
        std::string line;
        for (const auto& arg : args)
            line += "[" + arg + "] ";
        SCOPED_TRACE(line);
        const auto result = ParseSimCommandLine(args);
        EXPECT_FALSE(result.options.has_value());
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(SimCommandLine, ADecimalSeparatorMayBeAnyOneCharacter)
{
    const auto result = ParseSimCommandLine({"s.json", "--decimal", "\xc2\xb7"});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_EQ(*result.options->decimal, L'\u00b7');
}

TEST(SimCommandLine, AValueThatLooksLikeAnOptionIsStillTheValue)
{
    const auto result = ParseSimCommandLine({"s.json", "--method", "--cancel"});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_EQ(*result.options->method, L"--cancel");
    EXPECT_EQ(result.options->answer, SimAnswer::Ok);
}

TEST(SimCommandLine, HelpNeedsNoSession)
{
    const auto result = ParseSimCommandLine({"--help"});
    ASSERT_TRUE(result.options.has_value());
    EXPECT_TRUE(result.options->help);
}

} // namespace
