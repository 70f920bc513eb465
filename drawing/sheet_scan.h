// Reading the current sheet: every surface-finish symbol is sorted into the distinct symbols, their
// repeats and the program's own earlier output, and the sheet's format is looked up in the settings.
#pragma once

#include "drawing/drawing_access.h"

#include <cstdint>
#include <string>

namespace drawing
{

/// Recorded when the sheet holds more symbols than the lists can take; the sheet is then left alone.
inline constexpr const wchar_t* kTextTooManySymbols =
    L"Zu viele Oberfl\u00e4chensymbole auf dem Blatt (h\u00f6chstens 200 verschiedene, 201 Wiederholungen und 201 "
    L"Symbole fr\u00fcherer Ausgaben). Das Blatt wurde nicht ge\u00e4ndert.";

/// The same when the whole drawing is scanned: the lists hold the symbols of every sheet, the earlier output
/// of the current sheet only.
inline constexpr const wchar_t* kTextTooManySymbolsInDrawing =
    L"Zu viele Oberfl\u00e4chensymbole in der Zeichnung (h\u00f6chstens 200 verschiedene und 201 Wiederholungen "
    L"auf allen Bl\u00e4ttern, 201 Symbole fr\u00fcherer Ausgaben auf diesem Blatt). Die Zeichnung wurde nicht "
    L"ge\u00e4ndert.";

/// The host's paper-size code for a sheet of user-defined size.
inline constexpr std::int32_t kUserDefinedPaperSize = 12;

/// Fills work.list from the current sheet, checks the fonts (CheckFonts) and finds work.list.formatIndex.
/// With the setting "Scope" for the whole drawing, the symbols of every other sheet join the list and the
/// repeats after those of the current sheet; the earlier output of other sheets is theirs and is passed
/// over. Does nothing while an error is pending. Records an error for an unknown sheet format and for more
/// symbols than the lists hold. A failing host call passes to the caller.
void ScanSheet(Work& work);

/// The current sheet's format code: the host's paper-size code, or for a user-defined size the width in
/// millimetres x 10000 + the height in millimetres (420 x 297 mm gives 4200297).
std::int32_t GetSheetFormatCode(const Work& work);

/// The message for a sheet format that is not configured.
std::wstring UnknownFormatMessage(std::int32_t formatCode);

} // namespace drawing
