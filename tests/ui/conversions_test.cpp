#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{

std::string Show(std::wstring_view text)
{
    return ui::ToUtf8(text);
}

struct NumberCase
{
    std::wstring text;
    double expected;
};

TEST(LeadingNumber, ReadsTheLeadingNumberAndStopsAtTheFirstMisfit)
{
    const std::vector<NumberCase> cases = {
        {L"", 0.0},
        {L"abc", 0.0},
        {L"12mm", 12.0},
        {L".5", 0.5},
        {L"2.5", 2.5},
        {L"2,7", 2.0},
        {L"1.2.3", 1.2},
        {L" 2 45 7", 2457.0},
        {L"    1615 198th Street N.E.", 1615198.0},
        {L"\t\n 3\t.\n5", 3.5},
        {L"- 5", -5.0},
        {L"+7", 7.0},
        {L"-", 0.0},
        {L"--5", 0.0},
        {L"1e3", 1000.0},
        {L"1E-2", 0.01},
        {L"1D2", 1.0},
        {L"2d+1", 2.0},
        {L"1e", 1.0},
        {L"1e+", 1.0},
        {L"1 e 2", 100.0},
        {L"e5", 0.0},
        {L"1e-400", 0.0},
        {L"0.000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         L"0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         L"0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         L"00000000000000000000000000000000000000000001",
         0.0},
        {L"0e99999999999999999999", 0.0},
        {L"50%", 50.0},
        {L"50.5%", 50.5},
        {L"12#", 12.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Show(c.text));
        EXPECT_EQ(ui::LeadingNumber(c.text), c.expected);
    }
}

TEST(LeadingNumber, NegativeZeroReadsAsPlainZero)
{
    EXPECT_FALSE(std::signbit(ui::LeadingNumber(L"-0")));
    EXPECT_FALSE(std::signbit(ui::LeadingNumber(L"-")));
}

TEST(LeadingNumber, ConvertsDecimalDigitsExactly)
{
    // A digit-by-digit accumulation would be off by an ulp here.
    EXPECT_EQ(ui::LeadingNumber(L"0.1"), 0.1);
    EXPECT_EQ(ui::LeadingNumber(L"2.675"), 2.675);
    EXPECT_EQ(ui::LeadingNumber(L"123456789012345678901234567890"), 123456789012345678901234567890.0);
}

TEST(LeadingNumber, HexAndOctalFoldTheSignLikeTheClassicIntegers)
{
    const std::vector<NumberCase> cases = {
        {L"&HFF", 255.0},
        {L"&hff", 255.0},
        {L"&H100", 256.0},
        {L"&HFFFF", -1.0},
        {L"&H8000", -32768.0},
        {L"&H7FFF", 32767.0},
        {L"&H00FFFF", -1.0},
        {L"&H10000", 65536.0},
        {L"&HFFFFFFFF", -1.0},
        {L"&H80000000", -2147483648.0},
        {L"&H100000000", 4294967296.0},
        {L"&HF F", 255.0},
        {L"&HFFx", 255.0},
        {L"&O17", 15.0},
        {L"&o377", 255.0},
        {L"&O177777", -1.0},
        {L"&O8", 0.0},
        {L"&", 0.0},
        {L"&X1", 0.0},
        {L"&H", 0.0},
        {L"  &H10", 16.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Show(c.text));
        EXPECT_EQ(ui::LeadingNumber(c.text), c.expected);
    }
}

TEST(LeadingNumber, ValuesBeyondADoubleOverflow)
{
    for (const std::wstring text : {L"1e400", L"-1e400", L"1e99999999999999999999", L"&H1FFFFFFFFFFFFFFFF"})
    {
        SCOPED_TRACE(Show(text));
        EXPECT_THROW(ui::LeadingNumber(text), ui::OverflowError);
    }
    std::wstring manyDigits(400, L'9');
    EXPECT_THROW(ui::LeadingNumber(manyDigits), ui::OverflowError);
    EXPECT_EQ(ui::LeadingNumber(L"1.7976931348623157e308"), std::numeric_limits<double>::max());
}

struct RoundCase
{
    double value;
    std::int32_t expected;
};

TEST(RoundToInt32, TiesGoToTheEvenNeighbour)
{
    const std::vector<RoundCase> cases = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4999999, 2},
        {2.5000001, 3},
        {-2.6, -3},
        {2147483647.4, 2147483647},
        {-2147483648.5, std::numeric_limits<std::int32_t>::min()},
        {-2147483648.4, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ui::RoundToInt32(c.value), c.expected);
    }
}

TEST(RoundToInt32, OverflowsOutsideTheExactBoundaries)
{
    for (const double value : {2147483647.5, -2147483648.51, 99999999999.0, std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
    {
        SCOPED_TRACE(value);
        EXPECT_THROW(ui::RoundToInt32(value), ui::OverflowError);
    }
}

TEST(RoundToInt32, GetValCasesThroughTheLeadingNumber)
{
    EXPECT_EQ(ui::RoundToInt32(ui::LeadingNumber(L"2.5")), 2);
    EXPECT_EQ(ui::RoundToInt32(ui::LeadingNumber(L"3.5")), 4);
    EXPECT_EQ(ui::RoundToInt32(ui::LeadingNumber(L"12abc")), 12);
    EXPECT_EQ(ui::RoundToInt32(ui::LeadingNumber(L"2,7")), 2);
    EXPECT_THROW(ui::RoundToInt32(ui::LeadingNumber(L"99999999999")), ui::OverflowError);
}

TEST(RoundToInt16, BoundariesAndTies)
{
    EXPECT_EQ(ui::RoundToInt16(32767.4), 32767);
    EXPECT_EQ(ui::RoundToInt16(-32768.5), -32768);
    EXPECT_EQ(ui::RoundToInt16(4.5), 4);
    EXPECT_EQ(ui::RoundToInt16(-5.5), -6);
    EXPECT_THROW(ui::RoundToInt16(32767.5), ui::OverflowError);
    EXPECT_THROW(ui::RoundToInt16(-32768.6), ui::OverflowError);
    EXPECT_THROW(ui::RoundToInt16(std::numeric_limits<double>::quiet_NaN()), ui::OverflowError);
}

TEST(Format00, PadsToTwoDigitsWithTheSignInFront)
{
    EXPECT_EQ(ui::Format00(5), L"05");
    EXPECT_EQ(ui::Format00(0), L"00");
    EXPECT_EQ(ui::Format00(11), L"11");
    EXPECT_EQ(ui::Format00(123), L"123");
    EXPECT_EQ(ui::Format00(-1), L"-01");
    EXPECT_EQ(ui::Format00(-123), L"-123");
    EXPECT_EQ(ui::Format00(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
}

struct RegionalCase
{
    std::wstring text;
    std::optional<double> expected;
};

void CheckRegional(const std::vector<RegionalCase>& cases, wchar_t decimalSeparator)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Show(c.text));
        EXPECT_EQ(ui::ParseRegionalNumber(c.text, decimalSeparator), c.expected);
    }
}

TEST(ParseRegionalNumber, GermanSettings)
{
    CheckRegional(
        {
            {L"6,3", 6.3},
            {L"06,3", 6.3},
            {L" 6,3 ", 6.3},
            {L"\t6,3\t", 6.3},
            {L"3,25", 3.25},
            {L"6.3", 63.0},
            {L"06.3", 63.0},
            {L"0.5", 5.0},
            {L"1.234,5", 1234.5},
            {L"1.2.3", 123.0},
            {L",5", 0.5},
            {L"6,", 6.0},
            {L"6,3-", -6.3},
            {L"(6,3)", -6.3},
            {L"-6,3", -6.3},
            {L"+6,3", 6.3},
            {L"1e3", 1000.0},
            {L"1,5E-1", 0.15},
            {L"&H10", 16.0},
            {L"&o17", 15.0},
            {L"0", 0.0},
            {L"1e400", std::nullopt},
            {L".5", std::nullopt},
            {L"6,3,1", std::nullopt},
            {L"abc", std::nullopt},
            {L"0abc", std::nullopt},
            {L"0 6,3", std::nullopt},
            {L"", std::nullopt},
            {L"   ", std::nullopt},
            {L",", std::nullopt},
            {L"-", std::nullopt},
            {L"()", std::nullopt},
            {L"(-6,3)", std::nullopt},
            {L"1,2.3", std::nullopt},
            {L"1e", std::nullopt},
            {L"&H1G", std::nullopt},
            {L"&X1", std::nullopt},
            {L"--1", std::nullopt},
        },
        L',');
}

TEST(ParseRegionalNumber, UsSettings)
{
    CheckRegional(
        {
            {L"6,3", 63.0},
            {L"6.3", 6.3},
            {L"1,234.5", 1234.5},
            {L".5", 0.5},
            {L",5", std::nullopt},
            {L"(6.3)", -6.3},
            {L"6.3.1", std::nullopt},
        },
        L'.');
}

TEST(ParseRegionalNumber, NegativeZeroIsPlainZero)
{
    const auto value = ui::ParseRegionalNumber(L"-0", L',');
    ASSERT_TRUE(value.has_value());
    EXPECT_FALSE(std::signbit(*value));
}

TEST(UCase, MapsTheWindows1252Letters)
{
    EXPECT_EQ(ui::UCase(L"wahr"), L"WAHR");
    EXPECT_EQ(ui::UCase(L"Falsch 1,5 ra"), L"FALSCH 1,5 RA");
    EXPECT_EQ(ui::UCase(L"\u00e4\u00f6\u00fc\u00e0\u00fe"), L"\u00c4\u00d6\u00dc\u00c0\u00de");
    EXPECT_EQ(ui::UCase(L"\u00df"), L"\u00df"); // sharp s has no capital here
    EXPECT_EQ(ui::UCase(L"\u00f7"), L"\u00f7"); // the division sign is no letter
    EXPECT_EQ(ui::UCase(L"\u00b5"), L"\u00b5"); // micro sign stays
    EXPECT_EQ(ui::UCase(L"\u00ff"), L"\u0178"); // y with diaeresis leaves Latin-1
    EXPECT_EQ(ui::UCase(L"\u0161\u0153\u017e"), L"\u0160\u0152\u017d");
    EXPECT_EQ(ui::UCase(L"\u00c4BC{}@`"), L"\u00c4BC{}@`");
}

TEST(Trim, RemovesOnlySpaces)
{
    EXPECT_EQ(ui::Trim(L"  ab c  "), L"ab c");
    EXPECT_EQ(ui::Trim(L"   "), L"");
    EXPECT_EQ(ui::Trim(L""), L"");
    EXPECT_EQ(ui::Trim(L"\tx\t"), L"\tx\t");
}

TEST(ReplaceAll, OnePassLeftToRight)
{
    EXPECT_EQ(ui::ReplaceAll(L"2,5", L",", L"."), L"2.5");
    EXPECT_EQ(ui::ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
    EXPECT_EQ(ui::ReplaceAll(L"abc", L"b", L"bb"), L"abbc"); // the inserted text is not searched again
    EXPECT_EQ(ui::ReplaceAll(L"a,b,", L",", L""), L"ab");
    EXPECT_EQ(ui::ReplaceAll(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(ui::ReplaceAll(L"", L"a", L"x"), L"");
}

TEST(Utf8, RoundTripsAcrossAllPlanes)
{
    // U+1D11E is a surrogate pair where wchar_t has 16 bits.
    const std::wstring text = L"Oberfl\u00e4che \u20ac \U0001D11E";
    const std::string utf8 = ui::ToUtf8(text);
    EXPECT_EQ(utf8, "Oberfl\xc3\xa4"
                    "che \xe2\x82\xac \xf0\x9d\x84\x9e");
    EXPECT_EQ(ui::FromUtf8(utf8), text);
}

TEST(Utf8, InvalidInputIsReplaced)
{
    const std::wstring r = L"\uFFFD";
    EXPECT_EQ(ui::FromUtf8("a\x80z"), L"a" + r + L"z");
    EXPECT_EQ(ui::FromUtf8("\xc3"), r);             // truncated at the end
    EXPECT_EQ(ui::FromUtf8("\xe2\x82z"), r + L"z"); // truncated before a plain byte
    EXPECT_EQ(ui::FromUtf8("\xc0\xaf"), r + r);     // overlong lead is never valid
    EXPECT_EQ(ui::FromUtf8("\xe0\x80\xaf"), r);     // overlong three-byte form
    EXPECT_EQ(ui::FromUtf8("\xed\xa0\x80"), r);     // encoded surrogate
    EXPECT_EQ(ui::FromUtf8("\xf4\x90\x80\x80"), r); // beyond U+10FFFF
    EXPECT_EQ(ui::FromUtf8("\xff"), r);
}

TEST(Utf8, LoneSurrogatesAreReplacedWhenEncoding)
{
    std::wstring lone;
    lone += static_cast<wchar_t>(0xD800);
    lone += L'x';
    EXPECT_EQ(ui::ToUtf8(lone), "\xef\xbf\xbdx");
}

} // namespace
