// A picture of the current sheet of a simulated CAD session, as SVG: the sheet's border, every
// surface-finish symbol in its ISO 1302 shape with its texts, and every note, those inside drawing views
// included. It draws the simulated session's model, which is what the session file written back holds.
#pragma once

#include "host/sim/session_model.h"

#include <string>

namespace app::sim
{

/// The SVG text of the current sheet of the active document. Lengths in the SVG are millimetres with
/// the sheet's origin at the lower left (y is flipped for SVG). False, with the reason in error, when
/// the session has no active drawing with a current sheet.
bool RenderSheetSvg(const host::sim::SessionModel& session, std::string& svg, std::wstring& error);

} // namespace app::sim
