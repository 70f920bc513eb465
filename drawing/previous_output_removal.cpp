#include "drawing/previous_output_removal.h"

#include "app/run.h"
#include "drawing/drawing_access.h"
#include "drawing/symbol_list_ops.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace drawing
{
namespace
{

bool SelectNote(const host::DrawingPtr& drawingDoc, const std::wstring& noteName, const std::wstring& sheetName,
                bool append)
{
    // Qualified with the sheet: notes of the same name on other sheets belong to their own rows.
    return RequireExtension(drawingDoc)->SelectByID(noteName + L"@" + sheetName, L"NOTE", 0, 0, 0, append, 0, nullptr);
}

} // namespace

void RemovePrevious(app::Run& run)
{
    // Silent: the first failure ends the removal; the insertion that follows reports what matters.
    try
    {
        RemoveBracketNotes(run);
        RemoveOwnSymbols(run);
    }
    catch (const host::Error&)
    {
    }
}

void RemoveBracketNotes(app::Run& run)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(run);

    // Whatever the user had selected must not be deleted with the notes. Without a selection manager the
    // selection cannot be cleared, so nothing may be deleted at all.
    const host::SelectionManagerPtr selection =
        RequireObject(drawingDoc->SelectionManager(), "the drawing has no selection manager");
    const std::int32_t selectedCount = selection->GetSelectedObjectCount2(host::SelectionManager::kAnyMark);
    if (selectedCount > 0)
    {
        // The host counts selection indices from 1.
        std::vector<std::int32_t> indices(static_cast<std::size_t>(selectedCount));
        std::iota(indices.begin(), indices.end(), 1);
        selection->DeSelect2(indices, host::SelectionManager::kAnyMark);
    }

    const bool leftSelected = SelectNote(drawingDoc, kLeftNoteName, run.list.sheetName, false);
    // Added to the first selection, so that one deletion removes both notes.
    const bool rightSelected = SelectNote(drawingDoc, kRightNoteName, run.list.sheetName, true);
    if (leftSelected || rightSelected)
        drawingDoc->DeleteSelection(true);
}

void RemoveOwnSymbols(app::Run& run)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(run);
    const std::int32_t count = std::clamp(run.list.ownSymbolCount, std::int32_t{0}, symbols::kListCapacity);
    bool anySelected = false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const host::SFSymbolPtr symbol =
            RequireObject(run.list.ownSymbols[static_cast<std::size_t>(i)], "an earlier symbol is gone");
        const host::AnnotationPtr annotation =
            RequireObject(symbol->GetAnnotation(), "an earlier symbol has no annotation");
        // The first symbol starts a new selection, each further one is added to it.
        anySelected = annotation->Select2(i != 0, 0) || anySelected;
    }
    if (anySelected)
        drawingDoc->DeleteSelection(true);
}

} // namespace drawing
