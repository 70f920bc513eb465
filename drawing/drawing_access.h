// What the drawing operations work on, and the host objects they cannot do without.
//
// The run builds a Work for each call from the pieces it owns; no drawing operation sees more. The host
// may answer "nothing" where an object is indispensable; that becomes a host failure here (host::Require),
// so that each operation's failure pattern (trapped, silent, or passed on) applies to it instead of a null
// dereference.
#pragma once

#include "config/settings.h"
#include "host/cad_host.h"
#include "host/sw_access.h"
#include "symbols/summary_calculation.h"
#include "symbols/symbol_list.h"
#include "ui/error_object.h"

namespace drawing
{

/// The pieces of a run the drawing operations read and change. References only: the run owns them.
struct Work
{
    host::swAccess& swAcc;              ///< the attached session: its application and drawing
    symbols::SymbolList& list;          ///< the symbols of the current sheet
    config::Settings& settings;         ///< the font check may fill in the fonts
    symbols::MeasuringSurface& txtCalc; ///< the font check applies the configured fonts on it
    symbols::LayoutResults& layout;     ///< where the row and its brackets go
    ui::ErrorObject& cc;
};

/// The session's drawing (no host call).
host::DrawingPtr RequireDrawing(const Work& work);
/// The drawing's current sheet.
host::SheetPtr RequireCurrentSheet(const host::DrawingPtr& drawingDoc);
/// The drawing's extension object.
host::ExtensionPtr RequireExtension(const host::DrawingPtr& drawingDoc);

} // namespace drawing
