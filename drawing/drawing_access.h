// The host objects the drawing operations work on. The host may answer "nothing" where an object is
// indispensable; that is turned into a host failure here, so that each operation's failure pattern
// (trapped, silent, or passed on) applies to it instead of a null dereference.
#pragma once

#include "host/cad_host.h"

namespace app
{
struct Run;
}

namespace drawing
{

/// The session's drawing (no host call).
host::DrawingPtr RequireDrawing(app::Run& run);
/// The drawing's current sheet.
host::SheetPtr RequireCurrentSheet(const host::DrawingPtr& drawingDoc);
/// The drawing's extension object.
host::ExtensionPtr RequireExtension(const host::DrawingPtr& drawingDoc);

} // namespace drawing
