#include "drawing/norm_fix.h"

#include "host/host_error.h"
#include "ui/conversions.h"

#include <algorithm>
#include <vector>

namespace drawing
{
namespace
{

/// Roughness name given to a bare value moved out of a limit field.
constexpr const wchar_t* kDefaultRoughName = L"Ra";

// Host text slots Normfix writes.
constexpr std::int16_t kSlotRoughName = 3;
constexpr std::int16_t kSlotRoughValue = 4;
constexpr std::int16_t kSlotUpperLimit = 5;
constexpr std::int16_t kSlotLowerLimit = 6;

/// The parts of text between single blanks, without the empty ones that further blanks leave: a
/// roughness value never gets lost because someone typed one blank too many.
std::vector<std::wstring> NonEmptyParts(const std::wstring& text)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t end = std::min(text.find(L' ', start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

/// Splits a roughness name and value typed into a limit field into the two. False when the text
/// holds nothing but blanks: then there is nothing to move.
bool SplitRoughnessEntry(const std::wstring& source, std::wstring& name, std::wstring& value)
{
    const std::vector<std::wstring> parts = NonEmptyParts(source);
    if (parts.empty())
        return false;
    if (parts.size() >= 2)
    {
        name = parts[0];
        value = symbols::sfsObject::rx(parts[1]);
        return true;
    }
    const std::wstring& part = parts[0];
    const std::wstring lead = part.substr(0, 2);
    if (ui::UCase(lead) == L"RA")
    {
        // "Ra3,2" or "ra(3,2)": the name is kept as written, the rest is the value as written.
        name = lead;
        value = part.substr(lead.size());
    }
    else
    {
        name = kDefaultRoughName;
        value = symbols::sfsObject::rx(part);
    }
    return true;
}

std::int32_t ClampedCount(std::int32_t count, std::int32_t highest)
{
    return std::clamp(count, std::int32_t{0}, highest);
}

} // namespace

std::wstring NormaliseLimitText(const std::wstring& text)
{
    std::wstring result = ui::ReplaceAll(text, L".", L",");
    result = ui::ReplaceAll(result, L"   ", L" ");
    return ui::ReplaceAll(result, L"  ", L" ");
}

bool CorrectSymbol(symbols::sfsObject& record)
{
    std::wstring name = record.maxRoughName;
    std::wstring value = record.maxRoughStr;
    std::wstring lower = NormaliseLimitText(record.minR);
    std::wstring upper = NormaliseLimitText(record.maxR);

    bool corrected = false;
    const bool misplaced = (!lower.empty() || !upper.empty()) && value.empty() && name.empty();
    if (misplaced && SplitRoughnessEntry(lower.empty() ? upper : lower, name, value))
    {
        lower.clear();
        upper.clear();
        corrected = true;
    }
    else if (value.find(L'.') != std::wstring::npos)
    {
        value = ui::ReplaceAll(value, L".", L",");
        corrected = true;
    }
    if (!corrected)
        return false;

    record.maxRoughName = name;
    record.maxRoughStr = value;
    record.minR = lower;
    record.maxR = upper;
    // A correction that cannot reach the drawing must not be counted as made: it ends the pass like a
    // failing call.
    const host::SFSymbolPtr symbol = host::Require(record.obj, "obj");
    symbol->SetText(kSlotRoughName, name);
    symbol->SetText(kSlotRoughValue, value);
    symbol->SetText(kSlotUpperLimit, upper);
    symbol->SetText(kSlotLowerLimit, lower);
    return true;
}

std::int32_t RunNormFix(symbols::SymbolList& list)
{
    std::int32_t corrected = 0;
    const std::int32_t distinct = ClampedCount(list.sfsCount, symbols::kMaxDistinct);
    for (std::int32_t i = 1; i <= distinct; ++i)
        corrected += CorrectSymbol(list.sfsList[static_cast<std::size_t>(i)]) ? 1 : 0;
    const std::int32_t repeats = ClampedCount(list.sfsDupCount, symbols::kListCapacity);
    for (std::int32_t i = 0; i < repeats; ++i)
        corrected += CorrectSymbol(list.sfsDupList[static_cast<std::size_t>(i)]) ? 1 : 0;
    return corrected;
}

std::wstring NormFixReport(std::int32_t count)
{
    return L"Normfix: " + std::to_wstring(count) + L" Symbol(e) korrigiert.";
}

void MergeEqualSymbols(symbols::SymbolList& list)
{
    const std::int32_t count = ClampedCount(list.sfsCount, symbols::kMaxDistinct);
    // Indices of the records kept, in order; a record equal to a kept one is dropped.
    std::vector<std::size_t> kept;
    for (std::int32_t i = 1; i <= count; ++i)
    {
        const auto& candidate = list.sfsList[static_cast<std::size_t>(i)];
        const bool equalToKept = std::any_of(
            kept.begin(), kept.end(), [&](std::size_t k) { return candidate.Compare(list.sfsList[k], false) == 0; });
        if (!equalToKept)
            kept.push_back(static_cast<std::size_t>(i));
    }
    if (static_cast<std::int32_t>(kept.size()) == list.sfsCount)
        return;

    // Kept indices never lie below their new place, so moving forward in order overwrites nothing needed.
    for (std::size_t k = 0; k < kept.size(); ++k)
    {
        if (kept[k] != k + 1)
            list.sfsList[k + 1] = list.sfsList[kept[k]];
    }
    list.sfsCount = static_cast<std::int32_t>(kept.size());
}

} // namespace drawing
