// Deleting what an earlier run wrote into the current sheet, before the new row is inserted.
#pragma once

#include "drawing/drawing_access.h"

namespace drawing
{

/// The message recorded when the earlier row could not be removed; the new row is then not written.
inline constexpr const wchar_t* kTextPreviousNotRemoved =
    L"Die vorhandene Zeile konnte nicht entfernt werden. Es wurde keine neue Zeile geschrieben.";
/// The same, once a deletion of the removal had already deleted part of the earlier row.
inline constexpr const wchar_t* kTextPreviousPartlyRemoved =
    L"Die vorhandene Zeile konnte nicht entfernt werden. Es wurde keine neue Zeile geschrieben. "
    L"Die Zeichnung wurde eventuell nur teilweise ge\u00e4ndert.";

/// Deletes the earlier bracket notes and symbols. Trapped: the first host failure (a call that fails, or a
/// selection manager, extension or earlier symbol's annotation answered as nothing) ends the removal,
/// records kTextPreviousNotRemoved (kTextPreviousPartlyRemoved once something was deleted) and gives false.
/// A host busy beyond the busy limit (host::IsBusy) passes to the caller. Nothing to remove, or a selection
/// that finds nothing, is no failure. Only objects this removal selected
/// itself are ever deleted.
bool RemovePrevious(Work& work);

/// Clears the selection, then selects and deletes the notes "glmLNote" and "glmRNote" of the current sheet.
/// True when the deletion deleted something. Failures pass to the caller.
bool RemoveBracketNotes(Work& work);

/// Selects and deletes the earlier symbols the scan collected. True when the deletion deleted something.
/// Failures pass to the caller.
bool RemoveOwnSymbols(Work& work);

} // namespace drawing
