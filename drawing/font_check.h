// Making sure the two configured fonts can be measured, before the row is laid out.
#pragma once

#include "drawing/drawing_access.h"

namespace drawing
{

/// The message recorded when a configured font had to be replaced by the drawing's.
inline constexpr const wchar_t* kTextFontsNotFound =
    L"Schriftart(en) nicht gefunden, bitte die Konfiguration pr\u00fcfen !";

/// Applies the configured symbol and bracket fonts on the measuring surface. A font that is not named, or
/// cannot be applied, is taken from the drawing's text format (5 for symbols, 0 for notes), with its
/// height when none is configured; the replacement holds for the rest of the run and is never written to
/// the configuration. Tolerant: a failing step is skipped. Records kTextFontsNotFound once, after both
/// fonts, when a named font was replaced.
void CheckFonts(Work& work);

} // namespace drawing
