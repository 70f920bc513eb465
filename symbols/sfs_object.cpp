#include "symbols/sfs_object.h"

#include "ui/conversions.h"

#include <cmath>
#include <optional>

namespace symbols
{

namespace
{

// A record without a value, or with the value 0, ranks behind every ordinary roughness value.
constexpr double kNoValueRank = 100.0;

// The number a roughness text ranks by. The classic reading is "0" + the text without parentheses under
// the regional separator, so that an empty text reads as 0. A text that does not read that way gets a
// second chance on its own (blanks around the number are allowed there, " 6,3" ranks as 6.3). Anything
// that still is no number ranks like a symbol without a value (100): every record maps to exactly one
// rank, so the bubble sort always ends in the same order and never swaps equal ranks.
double RoughnessRank(const std::wstring& maxRoughStr, wchar_t decimalSeparator)
{
    const std::wstring bare = sfsObject::rx(maxRoughStr);
    std::optional<double> value = ui::ParseRegionalNumber(L"0" + bare, decimalSeparator);
    if (!value)
        value = ui::ParseRegionalNumber(bare, decimalSeparator);
    if (!value || std::isnan(*value) || *value == 0.0)
        return kNoValueRank;
    return *value;
}

} // namespace

void sfsObject::LoadFromSWX(const host::SFSymbolPtr& sfsHandle)
{
    obj = sfsHandle;
    host::Require(sfsHandle, "sfsHandle");
    sfsType = sfsHandle->GetSymbolType();
    // rv2 keeps "no value" apart from ""; every other slot reads an empty slot as "".
    const auto text = [&sfsHandle](std::int16_t whichOne) { return sfsHandle->GetText(whichOne).value_or(L""); };
    maxRoughName = text(3);
    maxRoughStr = text(4);
    methodeStr = text(2);
    roughSpacing = text(7);
    rv1 = text(8);
    rv2 = sfsHandle->GetText(9);
    rv3 = text(10);
    matTolerance = text(1);
    minR = text(6);
    maxR = text(5);
    allRound = sfsHandle->GetSymbolAllAround();
    direction = sfsHandle->GetDirectionOfLay();
    Name = host::Require(sfsHandle->GetAnnotation(), "GetAnnotation")->GetName();
}

void sfsObject::CopyFrom(const sfsObject& source, const std::wstring& newName)
{
    obj = source.obj;
    sfsType = source.sfsType;
    maxRoughName = source.maxRoughName;
    maxRoughStr = source.maxRoughStr;
    methodeStr = source.methodeStr;
    roughSpacing = source.roughSpacing;
    matTolerance = source.matTolerance;
    minR = source.minR;
    maxR = source.maxR;
    allRound = source.allRound;
    direction = source.direction;
    rv1 = source.rv1;
    rv2 = source.rv2;
    rv3 = source.rv3;
    Name = source.Name;
    if (!newName.empty())
        Name = newName;
}

std::wstring sfsObject::rx(const std::wstring& txt)
{
    std::wstring result;
    result.reserve(txt.size());
    for (const wchar_t c : txt)
    {
        if (c != L'(' && c != L')')
            result.push_back(c);
    }
    return result;
}

std::int32_t sfsObject::Compare(const sfsObject& testSFS, bool checkOnlyValues, wchar_t decimalSeparator) const
{
    if (checkOnlyValues)
    {
        const double a = RoughnessRank(maxRoughStr, decimalSeparator);
        const double b = RoughnessRank(testSFS.maxRoughStr, decimalSeparator);
        return a > b ? 1 : 0;
    }

    const bool same = sfsType == testSFS.sfsType && maxRoughStr == testSFS.maxRoughStr &&
                      maxRoughName == testSFS.maxRoughName && methodeStr == testSFS.methodeStr &&
                      matTolerance == testSFS.matTolerance && minR == testSFS.minR && maxR == testSFS.maxR &&
                      allRound == testSFS.allRound && roughSpacing == testSFS.roughSpacing &&
                      direction == testSFS.direction && rv1 == testSFS.rv1 &&
                      rv2.value_or(L"") == testSFS.rv2.value_or(L"") && rv3 == testSFS.rv3;
    return same ? 0 : 1;
}

} // namespace symbols
