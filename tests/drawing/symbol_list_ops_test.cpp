#include "drawing/symbol_list_ops.h"

#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

symbols::sfsObject Record(const std::wstring& roughStr, const std::wstring& name = L"")
{
    symbols::sfsObject rec;
    rec.maxRoughName = L"Ra";
    rec.maxRoughStr = roughStr;
    rec.sfsType = 1;
    rec.Name = name;
    return rec;
}

/// A list whose elements 1.. hold the given roughness values, named after their position.
symbols::SymbolList ListOf(const std::vector<std::wstring>& values)
{
    symbols::SymbolList list;
    for (const auto& value : values)
    {
        ++list.sfsCount;
        list.sfsList[static_cast<std::size_t>(list.sfsCount)] = Record(value, L"#" + std::to_wstring(list.sfsCount));
    }
    return list;
}

std::vector<std::wstring> NamesOf(const symbols::SymbolList& list)
{
    std::vector<std::wstring> names;
    for (std::int32_t i = 1; i <= list.sfsCount; ++i)
        names.push_back(list.sfsList[static_cast<std::size_t>(i)].Name);
    return names;
}

TEST(ListNaming, NumbersEndingIn99AreSkipped)
{
    const struct
    {
        std::int32_t index;
        const wchar_t* name;
    } cases[] = {
        {1, L"glmSymbol01"},    {9, L"glmSymbol09"},    {10, L"glmSymbol10"},
        {98, L"glmSymbol98"},   {99, L"glmSymbol100"},  {100, L"glmSymbol101"},
        {197, L"glmSymbol198"}, {198, L"glmSymbol200"}, {200, L"glmSymbol202"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(drawing::ListSymbolName(c.index), c.name);
    }
}

TEST(ListNaming, NoListNameIsTakenForTheSummary)
{
    for (std::int32_t i = 1; i <= symbols::kMaxDistinct; ++i)
    {
        SCOPED_TRACE(i);
        const std::wstring name = drawing::ListSymbolName(i);
        EXPECT_TRUE(drawing::IsOwnSymbolName(name));
        EXPECT_FALSE(drawing::IsSummaryName(name));
    }
}

TEST(ListNaming, OwnOutputIsRecognisedByPrefixCaseSensitively)
{
    const struct
    {
        const wchar_t* name;
        bool own;
        bool summary;
    } cases[] = {
        {L"glmSymbol99", true, true},
        {L"glmSymbol01", true, false},
        {L"glmSymbolX99", true, true},
        {L"glmSymbol", true, false},
        {L"GLMSymbol99", false, false},
        {L"glmsymbol01", false, false},
        {L"Oberfl\u00e4chensymbol99", false, false},
        {L"glmSym", false, false},
        {L"", false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.name));
        EXPECT_EQ(drawing::IsOwnSymbolName(c.name), c.own);
        EXPECT_EQ(drawing::IsSummaryName(c.name), c.summary);
    }
}

TEST(FindInList, FindsTheFirstEqualElementByTextsNotByName)
{
    symbols::SymbolList list = ListOf({L"3,2", L"6,3", L"1,6"});
    EXPECT_EQ(drawing::FindInList(list, Record(L"6,3", L"anders")), 2);
    EXPECT_EQ(drawing::FindInList(list, Record(L"12,5")), -1);

    symbols::sfsObject otherKind = Record(L"6,3");
    otherKind.sfsType = 2;
    EXPECT_EQ(drawing::FindInList(list, otherKind), -1);
}

TEST(FindInList, LooksOnlyUpToTheCount)
{
    symbols::SymbolList list = ListOf({L"3,2", L"6,3"});
    list.sfsCount = 1;
    EXPECT_EQ(drawing::FindInList(list, Record(L"6,3")), -1);
    list.sfsCount = 0;
    EXPECT_EQ(drawing::FindInList(list, Record(L"3,2")), -1);
}

TEST(RemoveSummaryFromList, DropsTheEqualElementAndClosesTheGap)
{
    const struct
    {
        const wchar_t* summary;
        std::vector<std::wstring> values;
        std::vector<std::wstring> namesLeft;
    } cases[] = {
        {L"6,3", {L"3,2", L"6,3", L"1,6"}, {L"#1", L"#3"}},
        {L"6,3", {L"3,2", L"6,3"}, {L"#1"}}, // the last element
        {L"0,8", {L"3,2", L"6,3"}, {L"#1", L"#2"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.summary));
        symbols::SymbolList list = ListOf(c.values);
        list.sfsList[0] = Record(c.summary, L"glmSymbol99");
        drawing::RemoveSummaryFromList(list);
        EXPECT_EQ(NamesOf(list), c.namesLeft);
        EXPECT_EQ(list.sfsCount, static_cast<std::int32_t>(c.namesLeft.size()));
    }
}

TEST(SortList, AscendingByValueWithoutValueLastAndStableForEqualValues)
{
    const struct
    {
        std::vector<std::wstring> values;
        std::vector<std::wstring> sortedNames;
    } cases[] = {
        {{L"6,3", L"1,6", L"", L"3,2"}, {L"#2", L"#4", L"#1", L"#3"}},
        {{L"3,2", L"(1,6)", L"3,2", L"0,8"}, {L"#4", L"#2", L"#1", L"#3"}},
        {{L"6,3"}, {L"#1"}},
        {{}, {}},
        // Texts that are no number rank as no value; equal ranks (the two 1,6, every no value) keep their order.
        {{L"6,3", L"N7", L"1,6", L"", L"(3,2)", L"abc", L"12,5", L"0", L"1,6", L"x y"},
         {L"#3", L"#9", L"#5", L"#1", L"#7", L"#2", L"#4", L"#6", L"#8", L"#10"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.values.size());
        symbols::SymbolList list = ListOf(c.values);
        drawing::SortList(list, L',');
        EXPECT_EQ(NamesOf(list), c.sortedNames);
    }
}

TEST(SortList, ReadsValuesUnderTheGivenDecimalSeparator)
{
    // Under a "." separator, "12.5" is twelve and a half and ranks above 6.3.
    symbols::SymbolList list = ListOf({L"12.5", L"6.3"});
    drawing::SortList(list, L'.');
    EXPECT_EQ(NamesOf(list), (std::vector<std::wstring>{L"#2", L"#1"}));
}

} // namespace
