// Operations on the symbol list after the scan, and the names under which the program's own output
// stands in the drawing. A later run finds its earlier output again by these names, so they are part
// of the drawing's contents and must not change.
#pragma once

#include "symbols/sfs_object.h"
#include "symbols/symbol_list.h"

#include <cstdint>
#include <string>

namespace drawing
{

/// Every symbol the program writes bears a name beginning with this (case counts).
inline constexpr const wchar_t* kOwnSymbolPrefix = L"glmSymbol";
/// An own symbol whose name ends in this is the summary symbol.
inline constexpr const wchar_t* kSummarySuffix = L"99";
/// The summary symbol's name.
inline constexpr const wchar_t* kSummaryName = L"glmSymbol99";
/// The two bracket notes around the listed symbols.
inline constexpr const wchar_t* kLeftNoteName = L"glmLNote";
inline constexpr const wchar_t* kRightNoteName = L"glmRNote";

/// The name of the record that becomes element `index` (1 to 200) of sfsList: "glmSymbol" and a number of
/// at least two digits. Numbers ending in 99 are skipped (…98, 100, …198, 200), so that no listed symbol is
/// ever taken for the summary symbol by a later run, nor clashes with its name in the drawing.
std::wstring ListSymbolName(std::int32_t index);

/// True for a name the program wrote: it begins with "glmSymbol".
bool IsOwnSymbolName(const std::wstring& name);
/// True for the name of an earlier summary symbol: an own name ending in "99".
bool IsSummaryName(const std::wstring& name);

/// Index (1 to sfsCount) of the first list element that is the same symbol as rec, or -1.
std::int32_t FindInList(const symbols::SymbolList& list, const symbols::sfsObject& rec);

/// Drops the list element equal to the summary record (element 0), if there is one.
void RemoveSummaryFromList(symbols::SymbolList& list);

/// Sorts elements 1 to sfsCount ascending by roughness value; equal values keep their order. Roughness
/// texts are read under the given regional decimal separator.
void SortList(symbols::SymbolList& list, wchar_t decimalSeparator);

/// The simplified form of the row: when the list holds at least one symbol besides the summary, elements 1
/// to sfsCount give way to one record, the plain basic symbol ("the drawing shows other requirements"):
/// kind 0, every text the empty text, lay direction 0, not all around, no host symbol, named as the first
/// listed symbol. An empty list stays empty.
void SimplifyList(symbols::SymbolList& list);

} // namespace drawing
