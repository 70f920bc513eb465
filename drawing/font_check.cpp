#include "drawing/font_check.h"

#include <exception>

namespace drawing
{
namespace
{

/// Text format of the drawing that supplies the symbol font, and the one that supplies the note font.
constexpr std::int16_t kSurfaceFinishTextFormat = 5;
constexpr std::int16_t kNoteTextFormat = 0;

/// Applies a configured font, tolerating the failure; true when the font could not be applied.
bool ApplyFails(symbols::MeasuringSurface& txtCalc, const std::wstring& fontName, std::int32_t fontHeight)
{
    try
    {
        symbols::MeasureText(txtCalc, L"", fontName, fontHeight);
        return false;
    }
    catch (const std::exception&)
    {
        return true;
    }
}

/// The drawing's text format supplies the name, and the height when none is configured. Each step on its
/// own: a step that fails leaves its setting as it was.
void TakeFontFromDrawing(const Work& work, std::int16_t textFormat, std::wstring& fontName, std::int32_t& fontHeight)
{
    host::TextFormatPtr format;
    try
    {
        if (work.swAcc.Drawing)
            format = work.swAcc.Drawing->GetUserPreferenceTextFormat(textFormat);
    }
    catch (const std::exception&)
    {
    }
    if (!format)
        return;
    try
    {
        fontName = format->get_TypeFaceName();
    }
    catch (const std::exception&)
    {
    }
    try
    {
        if (fontHeight == 0)
            fontHeight = format->get_CharHeightInPts();
    }
    catch (const std::exception&)
    {
    }
}

/// Checks one configured font; true when a named font had to be replaced.
bool CheckFont(Work& work, std::int16_t textFormat, std::wstring& fontName, std::int32_t& fontHeight)
{
    const bool failed = ApplyFails(work.txtCalc, fontName, fontHeight);
    if (!failed && !fontName.empty())
        return false;
    const bool missing = !fontName.empty();
    TakeFontFromDrawing(work, textFormat, fontName, fontHeight);
    return missing;
}

} // namespace

// Tolerant: a failing step is skipped; one message at most, after both fonts were looked at.
void CheckFonts(Work& work)
{
    config::Settings& settings = work.settings;
    bool fontMissing = CheckFont(work, kSurfaceFinishTextFormat, settings.symbolFontName, settings.symbolFontHeight);
    fontMissing = CheckFont(work, kNoteTextFormat, settings.bracketFontName, settings.bracketFontHeight) || fontMissing;
    if (fontMissing)
        work.cc.eMisc(kTextFontsNotFound);
}

} // namespace drawing
