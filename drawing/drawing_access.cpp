#include "drawing/drawing_access.h"

#include "app/run.h"

namespace drawing
{

host::DrawingPtr RequireDrawing(app::Run& run)
{
    if (!run.swAcc || !run.swAcc->Drawing)
        throw host::Error(host::kDispException, "no drawing is attached");
    return run.swAcc->Drawing;
}

host::SheetPtr RequireCurrentSheet(const host::DrawingPtr& drawingDoc)
{
    host::SheetPtr sheet = drawingDoc->GetCurrentSheet();
    if (!sheet)
        throw host::Error(host::kDispException, "the drawing has no current sheet");
    return sheet;
}

host::ExtensionPtr RequireExtension(const host::DrawingPtr& drawingDoc)
{
    host::ExtensionPtr extension = drawingDoc->Extension();
    if (!extension)
        throw host::Error(host::kDispException, "the drawing has no extension object");
    return extension;
}

} // namespace drawing
