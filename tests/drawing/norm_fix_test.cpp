#include "drawing/norm_fix.h"

#include "drawing/sheet_scan.h"
#include "drawing_test_support.h"
#include "sim_run.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using drawing_tests::RecordingSymbol;
using drawing_tests::WorkHarness;

TEST(NormaliseLimitText, PointsBecomeCommasAndBlankRunsShrink)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"Ra 3.2", L"Ra 3,2"},
        {L"1.6.3", L"1,6,3"},
        {L"a  b", L"a b"},
        {L"a   b", L"a b"},
        {L"a    b", L"a b"},
        {L"a     b", L"a  b"},
        {L"a      b", L"a b"},
        {L"a       b", L"a  b"},
        {L"a        b", L"a  b"},
        {L"a         b", L"a  b"},
        {L"", L""},
        {L" Rz 6.3 ", L" Rz 6,3 "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.text));
        EXPECT_EQ(drawing::NormaliseLimitText(c.text), c.expected);
    }
}

struct Texts
{
    std::wstring name, value, lower, upper;
};

struct CorrectionCase
{
    const char* what;
    Texts before;
    Texts after;
    bool corrected;
};

TEST(CorrectSymbol, RecordAndDrawingAfterCorrection)
{
    const CorrectionCase cases[] = {
        {"lower limit with name", {L"", L"", L"Ra 3.2", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"upper limit with name", {L"", L"", L"", L"Rz 6.3"}, {L"Rz", L"6,3", L"", L""}, true},
        {"lower limit value only", {L"", L"", L"3.2", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"ra with parentheses stays", {L"", L"", L"ra(3.2)", L""}, {L"ra", L"(3,2)", L"", L""}, true},
        {"upper limit in parentheses", {L"", L"", L"", L"(3.2)"}, {L"Ra", L"3,2", L"", L""}, true},
        {"two blanks", {L"", L"", L"Ra  3.2", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"lower limit preferred over upper", {L"", L"", L"Rz 1.6", L"Ra 6.3"}, {L"Rz", L"1,6", L"", L""}, true},
        {"further parts dropped", {L"", L"", L"Ra 3.2 max", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"second part without parentheses", {L"", L"", L"Ra (0.8)", L""}, {L"Ra", L"0,8", L"", L""}, true},
        {"point in value, limit normalised", {L"Ra", L"3.2", L"1.6", L""}, {L"Ra", L"3,2", L"1,6", L""}, true},
        {"comma in value: nothing", {L"Ra", L"3,2", L"1.6", L""}, {L"Ra", L"3,2", L"1.6", L""}, false},
        {"value present: not misplaced", {L"", L"3,2", L"Ra 1.6", L""}, {L"", L"3,2", L"Ra 1.6", L""}, false},
        {"name present: not misplaced", {L"Ra", L"", L"3.2", L""}, {L"Ra", L"", L"3.2", L""}, false},
        {"empty symbol", {L"", L"", L"", L""}, {L"", L"", L"", L""}, false},
        // Five blanks shrink to two, which would leave an empty second part: the value must survive.
        {"five blanks keep the value", {L"", L"", L"Ra     3.2", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"leading blanks keep the value", {L"", L"", L"     3.2", L""}, {L"Ra", L"3,2", L"", L""}, true},
        {"blanks only: nothing to move", {L"", L"", L"     ", L""}, {L"", L"", L"     ", L""}, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto symbol = std::make_shared<RecordingSymbol>();
        symbols::sfsObject record;
        record.maxRoughName = c.before.name;
        record.maxRoughStr = c.before.value;
        record.minR = c.before.lower;
        record.maxR = c.before.upper;
        record.obj = symbol;

        EXPECT_EQ(drawing::CorrectSymbol(record), c.corrected);

        EXPECT_EQ(record.maxRoughName, c.after.name);
        EXPECT_EQ(record.maxRoughStr, c.after.value);
        EXPECT_EQ(record.minR, c.after.lower);
        EXPECT_EQ(record.maxR, c.after.upper);
        using Written = std::vector<std::pair<std::int16_t, host::OptionalText>>;
        const Written expectedWrites =
            c.corrected ? Written{{3, c.after.name}, {4, c.after.value}, {5, c.after.upper}, {6, c.after.lower}}
                        : Written{};
        EXPECT_EQ(symbol->written, expectedWrites);
    }
}

/// A symbol list that holds the given symbols; the last `repeats` of them are repeats, not listed ones.
struct NormFixRun
{
    symbols::SymbolList list;
    std::vector<std::shared_ptr<RecordingSymbol>> symbols;

    NormFixRun(const std::vector<Texts>& texts, std::size_t repeats)
    {
        for (std::size_t i = 0; i < texts.size(); ++i)
        {
            symbols.push_back(std::make_shared<RecordingSymbol>());
            symbols::sfsObject rec;
            rec.sfsType = 1;
            rec.maxRoughName = texts[i].name;
            rec.maxRoughStr = texts[i].value;
            rec.minR = texts[i].lower;
            rec.maxR = texts[i].upper;
            rec.obj = symbols.back();
            if (i + repeats < texts.size())
            {
                ++list.sfsCount;
                rec.Name = L"glmSymbol0" + std::to_wstring(list.sfsCount);
                list.sfsList[static_cast<std::size_t>(list.sfsCount)] = rec;
            }
            else
            {
                list.sfsDupList[static_cast<std::size_t>(list.sfsDupCount++)] = rec;
            }
        }
    }
};

TEST(RunNormFix, CorrectsListedSymbolsAndRepeatsAndCountsThem)
{
    NormFixRun r(
        {{L"Ra", L"3.2", L"", L""}, {L"Ra", L"6,3", L"", L""}, {L"", L"", L"1.6", L""}, {L"Ra", L"3.2", L"", L""}}, 1);
    r.list.sfsList[0].maxRoughStr = L"0.8"; // the summary record is never corrected

    EXPECT_EQ(drawing::RunNormFix(r.list), 3);

    EXPECT_EQ(r.symbols[1]->written.size(), 0u);
    EXPECT_EQ(r.symbols[3]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_EQ(r.list.sfsList[0].maxRoughStr, L"0.8");

    NormFixRun nothing({{L"Ra", L"3,2", L"", L""}}, 0);
    EXPECT_EQ(drawing::RunNormFix(nothing.list), 0);
}

TEST(RunNormFix, AHostFailurePassesOnAndKeepsEarlierCorrections)
{
    NormFixRun r({{L"Ra", L"3.2", L"", L""}, {L"Ra", L"1.6", L"", L""}, {L"Ra", L"0.8", L"", L""}}, 0);
    r.symbols[1]->failSetTextAt = 1;

    EXPECT_THROW(drawing::RunNormFix(r.list), host::Error);

    EXPECT_EQ(r.symbols[0]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_TRUE(r.symbols[2]->written.empty());
}

TEST(RunNormFix, ACorrectionWithoutItsHostSymbolEndsThePassUncounted)
{
    // Counting it would report a correction the drawing never received.
    NormFixRun r({{L"Ra", L"3.2", L"", L""}, {L"Ra", L"1.6", L"", L""}, {L"Ra", L"0.8", L"", L""}}, 0);
    r.list.sfsList[2].obj = nullptr;

    EXPECT_THROW(drawing::RunNormFix(r.list), host::Error);

    EXPECT_EQ(r.symbols[0]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_TRUE(r.symbols[2]->written.empty());
}

TEST(MergeEqualSymbols, SymbolsMadeEqualByTheCorrectionBecomeOne)
{
    NormFixRun r(
        {{L"Ra", L"3.2", L"", L""}, {L"Ra", L"6,3", L"", L""}, {L"", L"", L"Ra 3,2", L""}, {L"Ra", L"6.3", L"", L""}},
        0);
    drawing::RunNormFix(r.list);
    drawing::MergeEqualSymbols(r.list);

    const auto& list = r.list;
    ASSERT_EQ(list.sfsCount, 2);
    EXPECT_EQ(list.sfsList[1].Name, L"glmSymbol01");
    EXPECT_EQ(list.sfsList[2].Name, L"glmSymbol02");
    EXPECT_EQ(list.sfsList[2].maxRoughStr, L"6,3");
}

TEST(MergeEqualSymbols, DistinctListStaysAsItIs)
{
    NormFixRun r({{L"Ra", L"3,2", L"", L""}, {L"Ra", L"6,3", L"", L""}}, 0);
    drawing::MergeEqualSymbols(r.list);
    EXPECT_EQ(r.list.sfsCount, 2);
    EXPECT_EQ(r.list.sfsList[2].Name, L"glmSymbol02");
}

} // namespace

namespace
{

using drawing_tests::Json;
using drawing_tests::SessionJson;
using drawing_tests::SheetJson;
using drawing_tests::SimRun;
using drawing_tests::SymbolJson;

TEST(RunNormFix, WritesCorrectionsIntoTheDrawingAndCountsThem)
{
    const std::vector<Json> symbols = {
        SymbolJson("A", {{"6", "Ra 3.2"}}),                     // misplaced into the lower limit
        SymbolJson("B", {{"3", "Ra"}, {"4", "1.6"}}),           // decimal point
        SymbolJson("C", {{"3", "Ra"}, {"4", "0,8"}}),           // correct already
        SymbolJson("D", {{"6", "Ra 3.2"}}),                     // a repeat of A
        SymbolJson("glmSymbol99", {{"3", "Ra"}, {"4", "6.3"}}), // earlier output is not corrected
    };
    SimRun r(SessionJson({SheetJson("Blatt1", symbols)}));
    drawing::ScanSheet(r.work);
    ASSERT_EQ(r.list.sfsDupCount, 1);

    EXPECT_EQ(drawing::RunNormFix(r.list), 3);
    drawing::MergeEqualSymbols(r.list);

    EXPECT_EQ(r.Calls("SetText"), 12);
    const auto texts = [&](const wchar_t* name) {
        const auto& slots = host::sim::FindSymbol(r.Sheet(), name)->texts;
        return std::vector<host::OptionalText>{slots[3], slots[4], slots[5], slots[6]};
    };
    using T = std::vector<host::OptionalText>;
    EXPECT_EQ(texts(L"A"), (T{L"Ra", L"3,2", L"", L""}));
    EXPECT_EQ(texts(L"D"), (T{L"Ra", L"3,2", L"", L""}));
    EXPECT_EQ(texts(L"B"), (T{L"Ra", L"1,6", L"", L""}));
    EXPECT_EQ(texts(L"glmSymbol99"), (T{L"Ra", L"6.3", L"", L""}));
    EXPECT_EQ(r.list.sfsCount, 3);
}

} // namespace
