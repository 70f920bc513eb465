#include "symbols/sfs_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

using symbols::sfsObject;

class NamedAnnotation : public host::Annotation
{
public:
    explicit NamedAnnotation(std::wstring nameIn) : name(std::move(nameIn)) {}
    std::wstring GetName() override { return name; }
    bool SetName(const std::wstring& nameIn) override
    {
        name = nameIn;
        return true;
    }
    host::TextFormatPtr GetTextFormat(std::int16_t) override { return nullptr; }
    bool SetTextFormat(std::int16_t, bool, const host::TextFormatPtr&) override { return false; }
    bool Select2(bool, std::int16_t) override { return false; }

    std::wstring name;
};

// A host symbol whose slot n holds the text "t<n>" unless told otherwise.
class FakeSymbol : public host::SFSymbol
{
public:
    FakeSymbol()
    {
        for (std::int16_t slot = 1; slot <= 10; ++slot)
            texts[slot] = L"t" + std::to_wstring(slot);
    }

    host::SFSymbolPtr GetNext() override { return nullptr; }
    std::int32_t GetSymbolType() override { return symbolType; }
    host::OptionalText GetText(std::int16_t whichOne) override { return texts[whichOne]; }
    bool GetSymbolAllAround() override { return allAround; }
    std::int32_t GetDirectionOfLay() override { return direction; }
    host::AnnotationPtr GetAnnotation() override { return annotation; }
    bool SetSymbol(std::int32_t, std::int16_t, bool) override { return false; }
    bool SetText(std::int16_t, const host::OptionalText&) override { return false; }

    std::map<std::int16_t, host::OptionalText> texts;
    std::int32_t symbolType = 1;
    bool allAround = true;
    std::int32_t direction = 3;
    std::shared_ptr<NamedAnnotation> annotation = std::make_shared<NamedAnnotation>(L"Surface Finish1");
};

sfsObject Loaded(const std::shared_ptr<FakeSymbol>& symbol)
{
    sfsObject record;
    record.LoadFromSWX(symbol);
    return record;
}

TEST(SfsObject, LoadFromSWXTakesEveryTextFromItsOwnSlot)
{
    auto symbol = std::make_shared<FakeSymbol>();
    symbol->texts[9] = std::nullopt;
    symbol->texts[7] = std::nullopt;

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
    auto symbol = std::make_shared<FakeSymbol>();
    symbol->annotation = nullptr;
    sfsObject record;
    EXPECT_THROW(record.LoadFromSWX(symbol), host::Error);
    EXPECT_EQ(record.maxRoughStr, L"t4"); // what was read before the failure stays
    EXPECT_THROW(record.LoadFromSWX(nullptr), host::Error);
}

TEST(SfsObject, TwoLoadedSymbolsWithTheSameTextsAreTheSameSymbol)
{
    auto first = std::make_shared<FakeSymbol>();
    auto second = std::make_shared<FakeSymbol>();
    second->annotation = std::make_shared<NamedAnnotation>(L"Surface Finish7");
    sfsObject a = Loaded(first);
    sfsObject b = Loaded(second);
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
    sfsObject source = Loaded(std::make_shared<FakeSymbol>());
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

// The bubble sort the symbol list uses: whole passes, swap only when the left one ranks higher.
std::vector<std::wstring> BubbleSorted(std::vector<sfsObject> list)
{
    const std::size_t n = list.size();
    for (std::size_t pass = 1; pass < n; ++pass)
    {
        for (std::size_t j = 0; j + 1 < n; ++j)
        {
            if (list[j].Compare(list[j + 1], true) == 1)
                std::swap(list[j], list[j + 1]);
        }
    }
    std::vector<std::wstring> names;
    for (const sfsObject& record : list)
        names.push_back(record.Name);
    return names;
}

TEST(SfsObject, SortingMixedValuesEndsInOneOrderWhateverTheStart)
{
    const std::vector<std::pair<std::wstring, std::wstring>> values = {
        {L"a", L"6,3"}, {L"b", L"N7"},   {L"c", L"1,6"}, {L"d", L""},    {L"e", L"(3,2)"},
        {L"f", L"abc"}, {L"g", L"12,5"}, {L"h", L"0"},   {L"i", L"1,6"}, {L"j", L"x y"},
    };
    std::vector<sfsObject> list;
    for (const auto& [name, value] : values)
    {
        sfsObject record = Rough(value);
        record.Name = name;
        list.push_back(record);
    }

    // Ascending; equal ranks (the two 1,6 and every "no value") keep their order of discovery.
    const std::vector<std::wstring> expected = {L"c", L"i", L"e", L"a", L"g", L"b", L"d", L"f", L"h", L"j"};
    EXPECT_EQ(BubbleSorted(list), expected);

    // A strict weak ordering: never both ways, and "not greater" is transitive.
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

TEST(SfsObject, SortingTheSpecimenListGivesAscendingValuesAndEmptyLast)
{
    std::vector<sfsObject> list;
    for (const wchar_t* value : {L"6,3", L"1,6", L"", L"3,2"})
    {
        sfsObject record = Rough(value);
        record.Name = value;
        list.push_back(record);
    }
    EXPECT_EQ(BubbleSorted(list), (std::vector<std::wstring>{L"1,6", L"3,2", L"6,3", L""}));
}

} // namespace
