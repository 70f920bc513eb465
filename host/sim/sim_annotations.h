// The simulated sheet, view, surface-finish symbol, annotation, note and text format objects.
#pragma once

#include "host/cad_host.h"
#include "host/sim/sim_state.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace host::sim
{

using StatePtr = std::shared_ptr<SimState>;

host::SheetPtr MakeSheet(StatePtr state, std::size_t document, std::size_t sheet);
/// view nullopt: the sheet itself seen as a view.
host::ViewPtr MakeView(StatePtr state, std::size_t document, std::size_t sheet, std::optional<std::size_t> view);
host::SFSymbolPtr MakeSymbol(StatePtr state, AnnotationId id);
host::NotePtr MakeNote(StatePtr state, AnnotationId id);
host::AnnotationPtr MakeAnnotation(StatePtr state, AnnotationId id);
/// A text format object of its own, holding a copy of format.
host::TextFormatPtr MakeTextFormat(StatePtr state, TextFormatModel format);

/// What a simulated text format object holds; nullopt for nothing or an object of another host.
std::optional<TextFormatModel> TextFormatOf(const host::TextFormatPtr& textFormat);

/// Adds entry to the document's selection (append) or makes it the only selected object. With toggle, an
/// appended object that is already selected is deselected instead.
void SelectObject(DocumentModel& document, const SelectionEntry& entry, bool append, bool toggle);

} // namespace host::sim
