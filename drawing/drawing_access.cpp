#include "drawing/drawing_access.h"

namespace drawing
{

host::DrawingPtr RequireDrawing(const Work& work)
{
    return host::Require(work.swAcc.Drawing, "Drawing");
}

host::SheetPtr RequireCurrentSheet(const host::DrawingPtr& drawingDoc)
{
    return host::Require(drawingDoc->GetCurrentSheet(), "GetCurrentSheet");
}

host::ExtensionPtr RequireExtension(const host::DrawingPtr& drawingDoc)
{
    return host::Require(drawingDoc->Extension(), "Extension");
}

} // namespace drawing
