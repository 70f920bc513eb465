#include "drawing/norm_fix.h"

#include "drawing/sheet_scan.h"
#include "tests/drawing/sim_run.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using drawing_tests::Json;
using drawing_tests::SimRun;
using testing_support::Fault;
using testing_support::RaSymbol;
using testing_support::Session;
using testing_support::SessionJson;
using testing_support::SheetJson;
using testing_support::SymbolJson;
using ui::ToUtf8;

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
        const Texts& b = c.before;
        const auto session = Session(SessionJson({SheetJson("Blatt1", {SymbolJson("S", {{"3", ToUtf8(b.name)},
                                                                                        {"4", ToUtf8(b.value)},
                                                                                        {"5", ToUtf8(b.upper)},
                                                                                        {"6", ToUtf8(b.lower)}})})}));
        symbols::sfsObject record;
        record.maxRoughName = b.name;
        record.maxRoughStr = b.value;
        record.minR = b.lower;
        record.maxR = b.upper;
        record.obj = testing_support::SheetSymbols(*session).at(0);

        EXPECT_EQ(drawing::CorrectSymbol(record), c.corrected);

        EXPECT_EQ(record.maxRoughName, c.after.name);
        EXPECT_EQ(record.maxRoughStr, c.after.value);
        EXPECT_EQ(record.minR, c.after.lower);
        EXPECT_EQ(record.maxR, c.after.upper);
        const auto& slots = session->ActiveDocument()->sheets[0].symbols[0].texts;
        EXPECT_EQ((std::vector<host::OptionalText>{slots[3], slots[4], slots[5], slots[6]}),
                  (std::vector<host::OptionalText>{c.after.name, c.after.value, c.after.upper, c.after.lower}));
        EXPECT_EQ(session->CallCount("SetText"), c.corrected ? 4 : 0);
    }
}

/// A sheet of "Ra" symbols A, B, C, ... with the given values, and faults.
Json RaSheet(const std::vector<std::string>& values, const std::vector<Json>& faults = {})
{
    std::vector<Json> symbols;
    for (const auto& value : values)
        symbols.push_back(RaSymbol(std::string(1, static_cast<char>('A' + symbols.size())), value));
    return testing_support::WithFaults(SessionJson({SheetJson("Blatt1", symbols)}), faults);
}

host::OptionalText Value(const SimRun& r, const wchar_t* name)
{
    return host::sim::FindSymbol(r.Sheet(), name)->texts[4];
}

TEST(RunNormFix, AFailureEndsThePassAndKeepsEarlierCorrections)
{
    for (const bool lostSymbol : {false, true})
    {
        // B's second text fails to be written, or B's host symbol is gone: counting B's correction would
        // report one the drawing never received.
        SCOPED_TRACE(lostSymbol ? "no host symbol" : "SetText fails");
        SimRun r(
            RaSheet({"3.2", "1.6", "0.8"}, lostSymbol ? std::vector<Json>{} : std::vector<Json>{Fault("SetText", 6)}));
        drawing::ScanSheet(r.work);
        if (lostSymbol)
            r.list.sfsList[2].obj = nullptr;

        EXPECT_THROW(drawing::RunNormFix(r.list), host::Error);

        EXPECT_EQ(Value(r, L"A"), host::OptionalText(L"3,2"));
        EXPECT_EQ(Value(r, L"C"), host::OptionalText(L"0.8"));
        EXPECT_EQ(r.Calls("SetText"), lostSymbol ? 4 : 6);
    }
}

TEST(MergeEqualSymbols, SymbolsMadeEqualByTheCorrectionBecomeOne)
{
    SimRun r(SessionJson({SheetJson("Blatt1", {RaSymbol("A", "3.2"), RaSymbol("B", "6,3"),
                                               SymbolJson("C", {{"6", "Ra 3,2"}}), RaSymbol("D", "6.3")})}));
    drawing::ScanSheet(r.work);
    ASSERT_EQ(r.list.sfsCount, 4);
    drawing::RunNormFix(r.list);
    drawing::MergeEqualSymbols(r.list);

    const auto& list = r.list;
    ASSERT_EQ(list.sfsCount, 2);
    EXPECT_EQ(list.sfsList[1].Name, L"glmSymbol01");
    EXPECT_EQ(list.sfsList[2].Name, L"glmSymbol02");
    EXPECT_EQ(list.sfsList[2].maxRoughStr, L"6,3");

    // A list without equal symbols stays as it is.
    drawing::MergeEqualSymbols(r.list);
    EXPECT_EQ(list.sfsCount, 2);
    EXPECT_EQ(list.sfsList[2].Name, L"glmSymbol02");
}

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
    EXPECT_EQ(r.list.sfsList[0].maxRoughStr, L"6.3"); // nor is the summary record

    SimRun nothing(RaSheet({"3,2"}));
    drawing::ScanSheet(nothing.work);
    EXPECT_EQ(drawing::RunNormFix(nothing.list), 0);
}

} // namespace
