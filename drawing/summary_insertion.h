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

/// Writes the whole row. False after a failure, with kTextSymbolsNotCreated recorded (a host busy beyond the
/// busy limit passes to the caller instead); what was inserted
/// and named before the failure stays in the drawing. A symbol or note that could not be named (a step up
/// to its naming failed, or the host refused the name) is deleted again before the failure is reported.
bool InsertSummary(Work& work);

/// Inserts a symbol for the summary record and every listed record. Toggle 24 is switched off meanwhile
/// and switched on again afterwards, also after a failure, when it was on. Failures pass to the caller.
void InsertSymbolRow(Work& work);

/// Inserts one symbol at the record's insertion point and names it. A host that creates no symbol is no
/// failure; one that cannot be named is deleted again, and the failure passes to the caller.
void InsertSymbol(Work& work, const symbols::sfsObject& record);

/// Inserts the notes "(" and ")" at the calculated bracket positions.
void InsertBracketNotes(Work& work);

} // namespace drawing
