#include "drawing/symbol_list_ops.h"

#include "ui/conversions.h"

#include <algorithm>
#include <utility>

namespace drawing
{
namespace
{

/// Highest index of sfsList a count may reach.
std::int32_t ClampedCount(std::int32_t count)
{
    return std::clamp(count, std::int32_t{0}, symbols::kMaxDistinct);
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::wstring ListSymbolName(std::int32_t index)
{
    // Among 1, 2, 3, … leave out every number ending in 99: one in each run of 99 numbers is skipped.
    const std::int64_t number = std::int64_t{index} + std::int64_t{index} / 99;
    return std::wstring(kOwnSymbolPrefix) + ui::Format00(number);
}

bool IsOwnSymbolName(const std::wstring& name)
{
    const std::wstring prefix = kOwnSymbolPrefix;
    return name.compare(0, prefix.size(), prefix) == 0;
}

bool IsSummaryName(const std::wstring& name)
{
    return IsOwnSymbolName(name) && EndsWith(name, kSummarySuffix);
}

std::int32_t FindInList(const symbols::SymbolList& list, const symbols::sfsObject& rec)
{
    const std::int32_t count = ClampedCount(list.sfsCount);
    for (std::int32_t i = 1; i <= count; ++i)
    {
        if (rec.Compare(list.sfsList[static_cast<std::size_t>(i)], false) == 0)
            return i;
    }
    return -1;
}

void RemoveSummaryFromList(symbols::SymbolList& list)
{
    const std::int32_t p = FindInList(list, list.sfsList[0]);
    if (p == -1)
        return;
    const std::int32_t count = ClampedCount(list.sfsCount);
    for (std::int32_t i = p; i < count; ++i)
        list.sfsList[static_cast<std::size_t>(i)] = list.sfsList[static_cast<std::size_t>(i) + 1];
    list.sfsCount = count - 1;
}

void SortList(symbols::SymbolList& list, wchar_t decimalSeparator)
{
    // A bubble sort that swaps only on "ranks higher": records with equal roughness keep the order in which
    // the scan found them.
    const std::int32_t n = ClampedCount(list.sfsCount);
    for (std::int32_t pass = 1; pass < n; ++pass)
    {
        for (std::int32_t j = 1; j < n; ++j)
        {
            auto& current = list.sfsList[static_cast<std::size_t>(j)];
            auto& next = list.sfsList[static_cast<std::size_t>(j) + 1];
            if (current.Compare(next, true, decimalSeparator) == 1)
                std::swap(current, next);
        }
    }
}

void SimplifyList(symbols::SymbolList& list)
{
    if (list.sfsCount <= 0)
        return;
    symbols::sfsObject basic;
    basic.sfsType = 0; // "Grundlegend"
    // Slot 9 as a text like every other slot: the record stands for the plain symbol the host itself makes,
    // not for a symbol read from the drawing, so there is no "no value" to keep.
    basic.rv2 = std::wstring();
    basic.Name = ListSymbolName(1);
    list.sfsList[1] = basic;
    list.sfsCount = 1;
}

} // namespace drawing
