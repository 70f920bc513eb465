// Normfix: corrects the texts of the symbols already on the sheet into the form the summary expects,
// in the records and straight in the drawing.
//
// Two faults are mended: a roughness name and value typed into a limit field while name and value are
// empty is moved into the name and value fields; a decimal point in a roughness value becomes a comma.
#pragma once

#include "symbols/sfs_object.h"
#include "symbols/symbol_list.h"

#include <cstdint>
#include <string>

namespace drawing
{

/// Corrects every listed symbol and every repeat, and returns how many it corrected. A failing host call
/// passes to the caller; corrections written before it stay.
std::int32_t RunNormFix(symbols::SymbolList& list);

/// Corrects one record and its host symbol; true when it changed something.
bool CorrectSymbol(symbols::sfsObject& record);

/// Decimal points become commas and runs of blanks are shortened (three to one, then two to one).
std::wstring NormaliseLimitText(const std::wstring& text);

/// Drops every listed record equal to an earlier one, as the corrections may have made some equal.
void MergeEqualSymbols(symbols::SymbolList& list);

/// The report after a pass that corrected `count` symbols.
std::wstring NormFixReport(std::int32_t count);

} // namespace drawing
