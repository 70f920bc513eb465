#include "symbols/sfs_object.h"

#include "tests/support/sim_session_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using symbols::sfsObject;
using testing_support::Json;

/// A symbol of kind 1, all around, lay 3, whose slot n holds the text "t<n>".
Json TSymbol(const std::string& name)
{
    Json texts = Json::object();
    for (int slot = 1; slot <= 10; ++slot)
        texts[std::to_string(slot)] = "t" + std::to_string(slot);
    Json symbol = testing_support::SymbolJson(name, texts);
    symbol["allAround"] = true;
    symbol["direction"] = 3;
    return symbol;
}

/// The host symbols of a drawing whose sheet holds these symbols, with its faults.
std::vector<host::SFSymbolPtr> HostSymbols(const std::vector<Json>& symbols, const std::vector<Json>& faults = {})
{
    const auto file = testing_support::SessionJson({testing_support::SheetJson("Blatt1", symbols)});
    return testing_support::SheetSymbols(*testing_support::Session(testing_support::WithFaults(file, faults)));
}

sfsObject Loaded(const host::SFSymbolPtr& symbol)
{
    sfsObject record;
    record.LoadFromSWX(symbol);
    return record;
}

TEST(SfsObject, LoadFromSWXTakesEveryTextFromItsOwnSlot)
{
    Json symbolFile = TSymbol("Surface Finish1");
    symbolFile["texts"]["9"] = nullptr;
    symbolFile["texts"]["7"] = nullptr;
    const auto symbol = HostSymbols({symbolFile}).at(0);

    sfsObject record;
    record.xWidth = 4;
    record.X = 5;
    record.LoadFromSWX(symbol);

    EXPECT_EQ(record.matTolerance, L"t1");
    EXPECT_EQ(record.methodeStr, L"t2");
    EXPECT_EQ(record.maxRoughName, L"t3");
    EXPECT_EQ(record.maxRoughStr, L"t4");
    EXPECT_EQ(record.maxR, L"t5");
    EXPECT_EQ(record.minR, L"t6");
    EXPECT_EQ(record.roughSpacing, L""); // an empty slot reads as ""
    EXPECT_EQ(record.rv1, L"t8");
    EXPECT_EQ(record.rv2, std::nullopt); // kept as the host returned it
    EXPECT_EQ(record.rv3, L"t10");
    EXPECT_EQ(record.sfsType, 1);
    EXPECT_TRUE(record.allRound);
    EXPECT_EQ(record.direction, 3);
    EXPECT_EQ(record.Name, L"Surface Finish1");
    EXPECT_EQ(record.obj, symbol);
    EXPECT_EQ(record.xWidth, 4); // layout values are not the host's
    EXPECT_EQ(record.X, 5);
}

TEST(SfsObject, LoadFromSWXFailsForASymbolWithoutAnnotation)
{
    const auto symbol =
        HostSymbols({TSymbol("Surface Finish1")}, {testing_support::Fault("GetAnnotation", 1, "nothing")}).at(0);
    sfsObject record;
    EXPECT_THROW(record.LoadFromSWX(symbol), host::Error);
    EXPECT_EQ(record.maxRoughStr, L"t4"); // what was read before the failure stays
    EXPECT_THROW(record.LoadFromSWX(nullptr), host::Error);
}

TEST(SfsObject, TwoLoadedSymbolsWithTheSameTextsAreTheSameSymbol)
{
    const auto symbols = HostSymbols({TSymbol("Surface Finish1"), TSymbol("Surface Finish7")});
    sfsObject a = Loaded(symbols.at(0));
    sfsObject b = Loaded(symbols.at(1));
    b.xWidth = 1;
    b.xOffset = 2;
    b.X = 3;
    b.y = 4;
    b.maxRougWidth = 5;
    EXPECT_EQ(a.Compare(b, false), 0);
    EXPECT_EQ(b.Compare(a, false), 0);
}

TEST(SfsObject, IdentityTestLooksAtEachOfTheThirteenFields)
{
    const std::vector<std::pair<const char*, std::function<void(sfsObject&)>>> changes = {
        {"sfsType", [](sfsObject& r) { r.sfsType = 2; }},
        {"maxRoughStr", [](sfsObject& r) { r.maxRoughStr = L"6,3 "; }},
        {"maxRoughName", [](sfsObject& r) { r.maxRoughName = L"Rz"; }},
        {"methodeStr case", [](sfsObject& r) { r.methodeStr = L"Gefr\u00e4st"; }},
        {"matTolerance", [](sfsObject& r) { r.matTolerance = L"0,2"; }},
        {"minR", [](sfsObject& r) { r.minR = L"0,8"; }},
        {"maxR", [](sfsObject& r) { r.maxR = L"1,6"; }},
        {"allRound", [](sfsObject& r) { r.allRound = true; }},
        {"roughSpacing", [](sfsObject& r) { r.roughSpacing = L"x"; }},
        {"direction", [](sfsObject& r) { r.direction = 1; }},
        {"rv1", [](sfsObject& r) { r.rv1 = L"x"; }},
        {"rv2", [](sfsObject& r) { r.rv2 = L"x"; }},
        {"rv3", [](sfsObject& r) { r.rv3 = L"x"; }},
    };
    sfsObject base;
    base.sfsType = 1;
    base.maxRoughName = L"Ra";
    base.maxRoughStr = L"6,3";
    base.methodeStr = L"gefr\u00e4st";
    for (const auto& [field, change] : changes)
    {
        SCOPED_TRACE(field);
        sfsObject other = base;
        change(other);
        EXPECT_EQ(base.Compare(other, false), 1);
        EXPECT_EQ(other.Compare(base, false), 1);
    }
}

TEST(SfsObject, IdentityTestTreatsNoRv2AsTheEmptyText)
{
    sfsObject none;
    sfsObject empty;
    empty.rv2 = L"";
    EXPECT_EQ(none.Compare(empty, false), 0);
    EXPECT_EQ(empty.Compare(none, false), 0);
}

TEST(SfsObject, CopyFromTakesTheSymbolButKeepsItsOwnLayout)
{
    sfsObject source = Loaded(HostSymbols({TSymbol("Surface Finish1")}).at(0));
    source.xWidth = 9;
    sfsObject copy;
    copy.xWidth = 1;
    copy.xOffset = 2;
    copy.X = 3;
    copy.y = 4;

    copy.CopyFrom(source, L"");
    EXPECT_EQ(copy.Compare(source, false), 0);
    EXPECT_EQ(copy.Name, L"Surface Finish1");
    EXPECT_EQ(copy.obj, source.obj);
    EXPECT_EQ(copy.xWidth, 1);
    EXPECT_EQ(copy.xOffset, 2);
    EXPECT_EQ(copy.X, 3);
    EXPECT_EQ(copy.y, 4);

    copy.CopyFrom(source, L"glmSymbol03");
    EXPECT_EQ(copy.Name, L"glmSymbol03");
    EXPECT_EQ(source.Name, L"Surface Finish1");
}

TEST(SfsObject, RxRemovesEveryParenthesis)
{
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"((1,6))", L"1,6"}, {L"6,3", L"6,3"}, {L"", L""}, {L")a(b)", L"ab"}, {L"()", L""}};
    for (const auto& [input, expected] : cases)
    {
        SCOPED_TRACE(input);
        EXPECT_EQ(sfsObject::rx(input), expected);
    }
}

sfsObject Rough(const std::wstring& value)
{
    sfsObject record;
    record.maxRoughStr = value;
    return record;
}

struct OrderingCase
{
    const wchar_t* a;
    const wchar_t* b;
    wchar_t separator;
    std::int32_t expected;
};

TEST(SfsObject, OrderingTestRanksByRoughnessValue)
{
    const std::vector<OrderingCase> cases = {
        {L"(6,3)", L"3,2", L',', 1}, {L"3,2", L"6,3", L',', 0},
        {L"3,2", L"3,2", L',', 0},   {L"", L"50", L',', 1}, // no value ranks as 100
        {L"", L"0", L',', 0},                               // both 100
        {L"0,0", L"100", L',', 0},                          // exactly 0 is 100 too
        {L"100", L"", L',', 0},                             // ... and so equal to "no value"
        {L"6.3", L"50", L',', 1},                           // "." is a thousands separator under German settings: 63
        {L"6.3", L"50", L'.', 0},                           // ... and the decimal point under English ones
        {L"12,5", L"6,3", L',', 1},                         // a number, not text order
        {L",8", L"1", L',', 0},      {L"6,3-", L"0,1", L',', 0}, // a trailing minus makes it negative
    };
    for (const OrderingCase& c : cases)
    {
        SCOPED_TRACE(std::wstring(c.a) + L" vs " + c.b);
        EXPECT_EQ(Rough(c.a).Compare(Rough(c.b), true, c.separator), c.expected);
    }
}

// Texts that are no number rank like a symbol without a value (100); blanks around a number are allowed.
TEST(SfsObject, OrderingTestRanksTextThatIsNoNumberAsNoValue)
{
    const std::vector<OrderingCase> cases = {
        {L"N7", L"50", L',', 1},  {L"N7", L"", L',', 0},      {L"", L"N7", L',', 0},
        {L"N7", L"150", L',', 0}, {L"150", L"N7", L',', 1},   {L"6,3,1", L"50", L',', 1},
        {L"N7", L"Ra", L',', 0},  {L" 6,3 ", L"50", L',', 0}, {L" 6,3", L"3,2", L',', 1},
    };
    for (const OrderingCase& c : cases)
    {
        SCOPED_TRACE(std::wstring(c.a) + L" vs " + c.b);
        EXPECT_EQ(Rough(c.a).Compare(Rough(c.b), true, c.separator), c.expected);
    }
}

// Numbers, parentheses, no value and texts that are no number, mixed: never both ways, and "not greater" is
// transitive, so that the list's sort ends in one order whatever the order of discovery.
TEST(SfsObject, OrderingTestIsAStrictWeakOrderingOverMixedValues)
{
    std::vector<sfsObject> list;
    for (const wchar_t* value : {L"6,3", L"N7", L"1,6", L"", L"(3,2)", L"abc", L"12,5", L"0", L"1,6", L"x y"})
        list.push_back(Rough(value));
    for (const sfsObject& a : list)
    {
        for (const sfsObject& b : list)
        {
            SCOPED_TRACE(a.maxRoughStr + L" vs " + b.maxRoughStr);
            EXPECT_FALSE(a.Compare(b, true) == 1 && b.Compare(a, true) == 1);
            for (const sfsObject& c : list)
            {
                if (a.Compare(b, true) == 0 && b.Compare(c, true) == 0)
                {
                    EXPECT_EQ(a.Compare(c, true), 0);
                }
            }
        }
    }
}

} // namespace
