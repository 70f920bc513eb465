// Writing the output row into the current sheet: the summary symbol, a copy of every listed symbol, and
// the two bracket notes, each named so that the next run finds and replaces them.
#pragma once

#include "drawing/drawing_access.h"
#include "symbols/sfs_object.h"

namespace drawing
{

/// The message recorded when the row could not be written completely.
inline constexpr const wchar_t* kTextSymbolsNotCreated =
    L"Oberfl\u00e4chensymbole konnten nicht korrekt erstellt werden.";

/// The host's user-preference toggle that is switched off while the row is written.
inline constexpr std::int16_t kToggleViewActivation = 24;

/// Writes the whole row. False after a failure, with kTextSymbolsNotCreated recorded; what was inserted
/// before the failure stays in the drawing.
bool InsertSummary(Work& work);

/// Inserts a symbol for the summary record and every listed record. Toggle 24 is switched off meanwhile
/// and switched on again afterwards, also after a failure, when it was on. Failures pass to the caller.
void InsertSymbolRow(Work& work);

/// Inserts one symbol at the record's insertion point. A host that creates no symbol is no failure.
void InsertSymbol(Work& work, const symbols::sfsObject& record);

/// Inserts the notes "(" and ")" at the calculated bracket positions.
void InsertBracketNotes(Work& work);

} // namespace drawing
