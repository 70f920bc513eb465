// Deleting what an earlier run wrote into the current sheet, before the new row is inserted.
#pragma once

#include "drawing/drawing_access.h"

namespace drawing
{

/// Deletes the earlier bracket notes and symbols. Silent: the first failure ends the removal and nothing
/// is recorded. Only objects this removal selected itself are ever deleted.
void RemovePrevious(Work& work);

/// Clears the selection, then selects and deletes the notes "glmLNote" and "glmRNote" of the current sheet.
void RemoveBracketNotes(Work& work);

/// Selects and deletes the earlier symbols the scan collected.
void RemoveOwnSymbols(Work& work);

} // namespace drawing
