// A picture of the current sheet of a simulated CAD session, as SVG: the sheet's border, every
// surface-finish symbol in its ISO 1302 shape with its texts, and every note, those inside drawing views
// included. It reads the session in its file form, so it draws exactly what the session file says.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace app
{

/// The SVG text of the current sheet of the active document. Lengths in the SVG are millimetres with
/// the sheet's origin at the lower left (y is flipped for SVG). False, with the reason in error, when
/// the session has no active drawing with a current sheet.
bool RenderSheetSvg(const nlohmann::json& session, std::string& svg, std::wstring& error);

/// RenderSheetSvg into a file (UTF-8).
bool WriteSheetSvg(const std::string& path, const nlohmann::json& session, std::wstring& error);

} // namespace app
