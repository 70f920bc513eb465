#include "drawing/previous_output_removal.h"

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

bool RemovePrevious(Work& work)
{
    // Trapped: a new row written beside a remainder of the old one could not take the names the old one
    // still holds, and the next run would take its copies for the user's symbols.
    bool deleted = false;
    try
    {
        deleted = RemoveBracketNotes(work);
        RemoveOwnSymbols(work);
        return true;
    }
    catch (const host::Error& error)
    {
        // A host busy beyond the limit is no fault of the drawing: the run ends with the busy message.
        if (host::IsBusy(error))
            throw;
        work.cc.eMisc(deleted ? kTextPreviousPartlyRemoved : kTextPreviousNotRemoved);
        return false;
    }
}

bool RemoveBracketNotes(Work& work)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(work);

    // Whatever the user had selected must not be deleted with the notes. Without a selection manager the
    // selection cannot be cleared, so nothing may be deleted at all.
    const host::SelectionManagerPtr selection = host::Require(drawingDoc->SelectionManager(), "SelectionManager");
    const std::int32_t selectedCount = selection->GetSelectedObjectCount2(host::SelectionManager::kAnyMark);
    if (selectedCount > 0)
    {
        // The host counts selection indices from 1.
        std::vector<std::int32_t> indices(static_cast<std::size_t>(selectedCount));
        std::iota(indices.begin(), indices.end(), 1);
        selection->DeSelect2(indices, host::SelectionManager::kAnyMark);
    }

    const bool leftSelected = SelectNote(drawingDoc, kLeftNoteName, work.list.sheetName, false);
    // Added to the first selection, so that one deletion removes both notes.
    const bool rightSelected = SelectNote(drawingDoc, kRightNoteName, work.list.sheetName, true);
    return (leftSelected || rightSelected) && drawingDoc->DeleteSelection(true);
}

bool RemoveOwnSymbols(Work& work)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(work);
    const std::int32_t count = std::clamp(work.list.ownSymbolCount, std::int32_t{0}, symbols::kListCapacity);
    bool anySelected = false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const host::SFSymbolPtr symbol = host::Require(work.list.ownSymbols[static_cast<std::size_t>(i)], "ownSymbols");
        const host::AnnotationPtr annotation = host::Require(symbol->GetAnnotation(), "GetAnnotation");
        // The first symbol starts a new selection, each further one is added to it.
        anySelected = annotation->Select2(i != 0, 0) || anySelected;
    }
    return anySelected && drawingDoc->DeleteSelection(true);
}

} // namespace drawing
