// The host objects the drawing operations work on. The host may answer "nothing" where an object is
// indispensable; that is turned into a host failure here, so that each operation's failure pattern
// (trapped, silent, or passed on) applies to it instead of a null dereference.
#pragma once

#include "host/cad_host.h"

#include <memory>

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

/// Passes object on; nothing becomes a host failure naming what is missing. For objects the next statement
/// works on (a symbol's annotation that gets the row's name, a text format that gets the row's font).
template <typename T> std::shared_ptr<T> RequireObject(std::shared_ptr<T> object, const char* what)
{
    if (!object)
        throw host::Error(host::kDispException, what);
    return object;
}

} // namespace drawing
