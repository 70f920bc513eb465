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
using drawing_tests::RunHarness;

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
        RunHarness h;
        auto symbol = std::make_shared<RecordingSymbol>();
        symbols::sfsObject record;
        record.maxRoughName = c.before.name;
        record.maxRoughStr = c.before.value;
        record.minR = c.before.lower;
        record.maxR = c.before.upper;
        record.obj = symbol;

        drawing::CorrectSymbol(h.run, record);

        EXPECT_EQ(record.maxRoughName, c.after.name);
        EXPECT_EQ(record.maxRoughStr, c.after.value);
        EXPECT_EQ(record.minR, c.after.lower);
        EXPECT_EQ(record.maxR, c.after.upper);
        EXPECT_EQ(h.run.normFixCount, c.corrected ? 1 : 0);
        using Written = std::vector<std::pair<std::int16_t, host::OptionalText>>;
        const Written expectedWrites =
            c.corrected ? Written{{3, c.after.name}, {4, c.after.value}, {5, c.after.upper}, {6, c.after.lower}}
                        : Written{};
        EXPECT_EQ(symbol->written, expectedWrites);
    }
}

/// A run whose list holds the given symbols; the last `repeats` of them are repeats, not listed ones.
struct NormFixRun
{
    RunHarness h;
    std::vector<std::shared_ptr<RecordingSymbol>> symbols;

    NormFixRun(const std::vector<Texts>& texts, std::size_t repeats)
    {
        auto& list = h.run.list;
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
        h.run.settings.normFixFeedback = true;
    }
};

TEST(RunNormFix, CorrectsListedSymbolsAndRepeatsAndReportsTheCount)
{
    NormFixRun r(
        {{L"Ra", L"3.2", L"", L""}, {L"Ra", L"6,3", L"", L""}, {L"", L"", L"1.6", L""}, {L"Ra", L"3.2", L"", L""}}, 1);
    r.h.run.list.sfsList[0].maxRoughStr = L"0.8"; // the summary record is never corrected

    drawing::RunNormFix(r.h.run);

    EXPECT_EQ(r.h.run.normFixCount, 3);
    EXPECT_EQ(r.symbols[1]->written.size(), 0u);
    EXPECT_EQ(r.symbols[3]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_EQ(r.h.run.list.sfsList[0].maxRoughStr, L"0.8");
    ASSERT_EQ(r.h.messageBox.shown.size(), 1u);
    EXPECT_EQ(r.h.messageBox.shown[0].text, L"Normfix: 3 Symbol(e) korrigiert.");
    EXPECT_EQ(r.h.messageBox.shown[0].caption, L"SW Oberfl\u00e4chen - Assistent");
}

TEST(RunNormFix, NoReportWhenNothingCorrectedOrFeedbackOff)
{
    NormFixRun nothing({{L"Ra", L"3,2", L"", L""}}, 0);
    nothing.h.run.normFixCount = 7; // left from an earlier pass
    drawing::RunNormFix(nothing.h.run);
    EXPECT_EQ(nothing.h.run.normFixCount, 0);
    EXPECT_TRUE(nothing.h.messageBox.shown.empty());

    NormFixRun silent({{L"Ra", L"3.2", L"", L""}}, 0);
    silent.h.run.settings.normFixFeedback = false;
    drawing::RunNormFix(silent.h.run);
    EXPECT_EQ(silent.h.run.normFixCount, 1);
    EXPECT_TRUE(silent.h.messageBox.shown.empty());
}

TEST(RunNormFix, AHostFailurePassesOnAndKeepsEarlierCorrections)
{
    NormFixRun r({{L"Ra", L"3.2", L"", L""}, {L"Ra", L"1.6", L"", L""}, {L"Ra", L"0.8", L"", L""}}, 0);
    r.symbols[1]->failSetTextAt = 1;

    EXPECT_THROW(drawing::RunNormFix(r.h.run), host::Error);

    EXPECT_EQ(r.symbols[0]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_TRUE(r.symbols[2]->written.empty());
    EXPECT_TRUE(r.h.messageBox.shown.empty());
}

TEST(RunNormFix, ACorrectionWithoutItsHostSymbolEndsThePassUnreported)
{
    // Counting it would report a correction the drawing never received.
    NormFixRun r({{L"Ra", L"3.2", L"", L""}, {L"Ra", L"1.6", L"", L""}, {L"Ra", L"0.8", L"", L""}}, 0);
    r.h.run.list.sfsList[2].obj = nullptr;

    EXPECT_THROW(drawing::RunNormFix(r.h.run), host::Error);

    EXPECT_EQ(r.symbols[0]->texts[4], host::OptionalText(L"3,2"));
    EXPECT_TRUE(r.symbols[2]->written.empty());
    EXPECT_TRUE(r.h.messageBox.shown.empty());
}

TEST(MergeEqualSymbols, SymbolsMadeEqualByTheCorrectionBecomeOne)
{
    NormFixRun r(
        {{L"Ra", L"3.2", L"", L""}, {L"Ra", L"6,3", L"", L""}, {L"", L"", L"Ra 3,2", L""}, {L"Ra", L"6.3", L"", L""}},
        0);
    drawing::RunNormFix(r.h.run);
    drawing::MergeEqualSymbols(r.h.run);

    const auto& list = r.h.run.list;
    ASSERT_EQ(list.sfsCount, 2);
    EXPECT_EQ(list.sfsList[1].Name, L"glmSymbol01");
    EXPECT_EQ(list.sfsList[2].Name, L"glmSymbol02");
    EXPECT_EQ(list.sfsList[2].maxRoughStr, L"6,3");
}

TEST(MergeEqualSymbols, DistinctListStaysAsItIs)
{
    NormFixRun r({{L"Ra", L"3,2", L"", L""}, {L"Ra", L"6,3", L"", L""}}, 0);
    drawing::MergeEqualSymbols(r.h.run);
    EXPECT_EQ(r.h.run.list.sfsCount, 2);
    EXPECT_EQ(r.h.run.list.sfsList[2].Name, L"glmSymbol02");
}

} // namespace

namespace
{

using drawing_tests::Json;
using drawing_tests::SessionJson;
using drawing_tests::SheetJson;
using drawing_tests::SimRun;
using drawing_tests::SymbolJson;

TEST(RunNormFix, WritesCorrectionsIntoTheDrawingAndReportsThem)
{
    const std::vector<Json> symbols = {
        SymbolJson("A", {{"6", "Ra 3.2"}}),                     // misplaced into the lower limit
        SymbolJson("B", {{"3", "Ra"}, {"4", "1.6"}}),           // decimal point
        SymbolJson("C", {{"3", "Ra"}, {"4", "0,8"}}),           // correct already
        SymbolJson("D", {{"6", "Ra 3.2"}}),                     // a repeat of A
        SymbolJson("glmSymbol99", {{"3", "Ra"}, {"4", "6.3"}}), // earlier output is not corrected
    };
    SimRun r(SessionJson({SheetJson("Blatt1", symbols)}));
    r.run.settings.normFixFeedback = true;
    drawing::ScanSheet(r.run);
    ASSERT_EQ(r.run.list.sfsDupCount, 1);

    drawing::RunNormFix(r.run);
    drawing::MergeEqualSymbols(r.run);

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
    ASSERT_EQ(r.messageBox.shown.size(), 1u);
    EXPECT_EQ(r.messageBox.shown[0].text, L"Normfix: 3 Symbol(e) korrigiert.");
    EXPECT_EQ(r.run.list.sfsCount, 3);
}

} // namespace
