#include "symbols/summary_calculation.h"

#include "app/run.h"

#include <cmath>
#include <exception>
#include <stdexcept>

namespace symbols
{

namespace
{

constexpr const wchar_t* kFontsNotFound = L"Schriftart(en) nicht gefunden, bitte die Konfiguration pr\u00fcfen !";
constexpr const wchar_t* kSymbolsNotCreated = L"Fehler bei der Symbolerstellung! Konfiguration pr\u00fcfen !";

/// Text format of the drawing that supplies the symbol font, and the one that supplies the note font.
constexpr std::int16_t kSurfaceFinishTextFormat = 5;
constexpr std::int16_t kNoteTextFormat = 0;

/// The symbol font size (points) at which the gaps have their nominal size.
constexpr double kReferenceFontHeight = 14.0;
constexpr double kSymbolGapAtReference = 0.01; // metres
constexpr double kLeadGapAtReference = 0.0038; // metres
constexpr double kPadGapAtReference = 0.0021;  // metres
constexpr double kBracketLiftFactor = 0.68;    // the bracket notes stand 0.68 * points / 2540 m higher
constexpr double kBracketLiftDivisor = 2540.0;
constexpr double kRowOffsetAllowance = 1.08;    // only the row length takes the offsets at this factor
constexpr std::int32_t kRowEndsAtBasePoint = 1; // hAlign value that right-aligns the row
constexpr double kUnconfiguredBase = 0.1;       // metres, both axes, when the sheet format is unknown
constexpr const wchar_t* kRoughGap = L"   ";    // between roughness name and value
constexpr const wchar_t* kLayGap = L"    ";     // room for a direction-of-lay mark

/// An overflow or invalid operation in the calculation; it ends the calculation like a font failure.
class ArithmeticError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

double Finite(double value)
{
    if (!std::isfinite(value))
        throw ArithmeticError("summary calculation: result out of range");
    return value;
}

/// w(t) of the layout: the width in the font applied last.
double W(app::Run& run, const std::wstring& text)
{
    return Finite(MeasureText(run, text, L"", 0));
}

sfsObject& Record(app::Run& run, std::int32_t index)
{
    if (index < 0 || index >= kListCapacity)
        throw std::out_of_range("summary calculation: record index");
    return run.list.sfsList[static_cast<std::size_t>(index)];
}

/// The list's last index, checked against the capacity so that no loop runs past the array.
std::int32_t LastRecord(const app::Run& run)
{
    if (run.list.sfsCount < 0 || run.list.sfsCount > kMaxDistinct)
        throw std::out_of_range("summary calculation: sfsCount");
    return run.list.sfsCount;
}

/// Applies a configured font, tolerating the failure; true when the font could not be applied.
bool ApplyFails(app::Run& run, const std::wstring& fontName, std::int32_t fontHeight)
{
    try
    {
        MeasureText(run, L"", fontName, fontHeight);
        return false;
    }
    catch (const std::exception&)
    {
        return true;
    }
}

/// The fallback of CheckFonts: the drawing's text format supplies the name, and the height when none is
/// configured. Each step on its own: a step that fails leaves its setting as it was.
void TakeFontFromDrawing(app::Run& run, std::int16_t textFormat, std::wstring& fontName, std::int32_t& fontHeight)
{
    host::TextFormatPtr format;
    try
    {
        if (run.swAcc && run.swAcc->Drawing)
            format = run.swAcc->Drawing->GetUserPreferenceTextFormat(textFormat);
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
bool CheckFont(app::Run& run, std::int16_t textFormat, std::wstring& fontName, std::int32_t& fontHeight)
{
    const bool failed = ApplyFails(run, fontName, fontHeight);
    if (!failed && !fontName.empty())
        return false;
    const bool missing = !fontName.empty();
    TakeFontFromDrawing(run, textFormat, fontName, fontHeight);
    return missing;
}

} // namespace

void MeasuringSurface::SetFont(const std::wstring& family, double points)
{
    if (!m_measurer.ApplyFont(family, points))
        throw FontError("font cannot be applied");
    m_fontName = family;
    m_fontSize = points;
    m_applied = true;
}

double MeasuringSurface::WidthMillimetres(const std::wstring& text)
{
    if (!m_applied)
        SetFont(m_fontName, m_fontSize);
    const double width = m_measurer.MeasureMillimetres(text);
    if (m_log && !text.empty())
        m_log->push_back({text, m_fontName, m_fontSize, width / 1000.0});
    return width;
}

double MeasureText(app::Run& run, const std::wstring& text, const std::wstring& fontName, std::int32_t fontHeight)
{
    if (fontName != L"-" && !fontName.empty())
        run.txtCalc.SetFont(fontName, static_cast<double>(fontHeight));
    if (text.empty())
        return 0;
    return run.txtCalc.WidthMillimetres(text) / 1000.0;
}

// Tolerant: a failing step is skipped; one message at most, after both fonts were looked at.
void CheckFonts(app::Run& run)
{
    config::Settings& settings = run.settings;
    bool fontMissing = CheckFont(run, kSurfaceFinishTextFormat, settings.symbolFontName, settings.symbolFontHeight);
    fontMissing = CheckFont(run, kNoteTextFormat, settings.bracketFontName, settings.bracketFontHeight) || fontMissing;
    if (fontMissing)
        run.cc.eMisc(kFontsNotFound);
}

// Trapped: the first failure ends the calculation with one fixed message; what was written stays.
bool CalculateSummary(app::Run& run)
{
    run.layout.calculated = true;
    try
    {
        const config::Settings& settings = run.settings;
        LayoutResults& layout = run.layout;
        const double fontScale = settings.symbolFontHeight / kReferenceFontHeight;
        layout.symbolGap = Finite(kSymbolGapAtReference * fontScale);
        layout.leadGap = Finite(kLeadGapAtReference * fontScale);
        layout.padGap = Finite(kPadGapAtReference * fontScale);

        MeasureText(run, L"", settings.symbolFontName, settings.symbolFontHeight);
        LayoutSymbols(run);

        const std::int32_t formatIndex = run.list.formatIndex;
        if (formatIndex == -1)
        {
            layout.basePoint = {kUnconfiguredBase, kUnconfiguredBase};
        }
        else
        {
            if (formatIndex < 0 || formatIndex >= config::kFormatCapacity)
                throw std::out_of_range("summary calculation: formatIndex");
            const config::FormatEntry& format = settings.formats[static_cast<std::size_t>(formatIndex)];
            layout.basePoint = {Finite(format.BasePointX), Finite(format.BasePointY)};
        }

        layout.alignShift = settings.hAlign == kRowEndsAtBasePoint ? -layout.rowWidth : 0.0;

        const std::int32_t last = LastRecord(run);
        for (std::int32_t i = 0; i <= last; ++i)
        {
            sfsObject& record = Record(run, i);
            record.y = layout.basePoint.second;
            if (i == 0)
            {
                record.X = Finite(layout.basePoint.first + layout.leadGap + layout.alignShift);
                continue;
            }
            const sfsObject& previous = Record(run, i - 1);
            const double bracket = i == 1 ? layout.bracketWidth : 0.0; // "(" stands before the first listed
            record.X =
                Finite(previous.X + previous.xWidth + layout.symbolGap + layout.padGap + bracket + record.xOffset);
        }

        PlaceBrackets(run);
        return true;
    }
    catch (const std::exception&)
    {
        run.cc.eMisc(kSymbolsNotCreated);
        return false;
    }
}

void LayoutSymbols(app::Run& run)
{
    const config::Settings& settings = run.settings;
    LayoutResults& layout = run.layout;

    layout.bracketWidth = Finite(MeasureText(run, L"(", settings.bracketFontName, settings.bracketFontHeight));
    MeasureText(run, L"", settings.symbolFontName, settings.symbolFontHeight);
    layout.rowWidth = 0;

    const std::int32_t last = LastRecord(run);
    for (std::int32_t i = 0; i <= last; ++i)
    {
        sfsObject& record = Record(run, i);
        // One measurement per statement: the transcript lists them in this order, and operands of one
        // expression would be measured in whatever order the compiler picks.
        const double wMax = W(run, record.maxR);
        const double wMin = W(run, record.minR);
        const double wLimits = LargerOf(wMax, wMin);
        const double wTol = W(run, record.matTolerance);
        const double wName = W(run, record.maxRoughName);
        double wRough = wName + 0.7 * W(run, record.maxRoughStr);
        if (!record.maxRoughStr.empty() && !record.maxRoughName.empty())
            wRough += W(run, kRoughGap);
        const double wMethode = W(run, record.methodeStr);
        const double wUpper = LargerOf(wRough, wMethode);
        double wSpacing = W(run, record.roughSpacing);
        if (record.direction != 0)
            wSpacing += W(run, kLayGap);
        const double wText = LargerOf(wUpper, wSpacing);

        record.xOffset = Finite(0.8 * wTol + 0.8 * wLimits);
        record.xWidth = Finite(0.2 * wLimits + wText + 0.35 * wTol);

        double growth = 0;
        if (i == 0)
            growth = layout.symbolGap + record.xWidth;
        else if (i == 1) // the first listed symbol also makes room for both brackets
            growth = kRowOffsetAllowance * record.xOffset + record.xWidth + layout.symbolGap + layout.padGap +
                     2 * layout.bracketWidth;
        else
            growth = kRowOffsetAllowance * record.xOffset + record.xWidth + layout.symbolGap + layout.padGap;
        layout.rowWidth = Finite(layout.rowWidth + growth);
    }
}

void PlaceBrackets(app::Run& run)
{
    const config::Settings& settings = run.settings;
    LayoutResults& layout = run.layout;
    const sfsObject& summary = Record(run, 0);
    const double baseX = layout.basePoint.first + layout.alignShift;

    layout.lBracketPos.first = Finite(baseX + summary.xWidth + layout.symbolGap + layout.padGap);
    layout.lBracketPos.second = Finite(layout.basePoint.second + settings.bracketBase +
                                       kBracketLiftFactor * settings.bracketFontHeight / kBracketLiftDivisor);
    layout.rBracketPos.first = Finite(baseX + layout.rowWidth - layout.bracketWidth);
    layout.rBracketPos.second = layout.lBracketPos.second;
}

double LargerOf(double a, double b)
{
    return a > b ? a : b;
}

} // namespace symbols
