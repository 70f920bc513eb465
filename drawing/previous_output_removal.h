// Deleting what an earlier run wrote into the current sheet, before the new row is inserted.
#pragma once

namespace app
{
struct Run;
}

namespace drawing
{

/// Deletes the earlier bracket notes and symbols. Silent: the first failure ends the removal and nothing
/// is recorded. Only objects this removal selected itself are ever deleted.
void RemovePrevious(app::Run& run);

/// Clears the selection, then selects and deletes the notes "glmLNote" and "glmRNote" of the current sheet.
void RemoveBracketNotes(app::Run& run);

/// Selects and deletes the earlier symbols the scan collected.
void RemoveOwnSymbols(app::Run& run);

} // namespace drawing
