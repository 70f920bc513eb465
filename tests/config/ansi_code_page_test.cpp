#include "config/ansi_code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(AnsiCodePage, EveryByteComesBackUnchanged)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    EXPECT_EQ(config::EncodeWindows1252(config::DecodeWindows1252(bytes)), bytes);
}

TEST(AnsiCodePage, GermanTextAndTheHighPunctuation)
{
    struct Case
    {
        std::string bytes;
        std::wstring text;
    };
    for (const Case& c : {Case{"gefr\xE4st", L"gefr\u00e4st"}, Case{"\xC4\xD6\xDC\xDF", L"\u00c4\u00d6\u00dc\u00df"},
                          Case{"\x80", L"\u20ac"}, Case{"\x84\x93", L"\u201e\u201c"}, Case{"\x9F", L"\u0178"},
                          Case{"\x81\x9D", L"\u0081\u009d"}})
    {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(config::DecodeWindows1252(c.bytes), c.text);
        EXPECT_EQ(config::EncodeWindows1252(c.text), c.bytes);
    }
}

TEST(AnsiCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(config::EncodeWindows1252(L"\u0142\u0080\u4e2d\u00e4"), "???\xE4");
    EXPECT_EQ(config::ThroughWindows1252(L"a\u0142b"), L"a?b");
}

} // namespace
