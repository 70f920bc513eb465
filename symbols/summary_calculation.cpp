#include "symbols/summary_calculation.h"

#include <cmath>
#include <exception>
#include <stdexcept>

namespace symbols
{

namespace
{

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

/// What one calculation reads and writes.
struct Calculation
{
    const config::Settings& settings;
    SymbolList& list;
    MeasuringSurface& txtCalc;
    LayoutResults& layout;
};

/// w(t) of the layout: the width in the font applied last.
double W(Calculation& c, const std::wstring& text)
{
    return Finite(MeasureText(c.txtCalc, text, L"", 0));
}

sfsObject& Record(SymbolList& list, std::int32_t index)
{
    if (index < 0 || index >= kListCapacity)
        throw std::out_of_range("summary calculation: record index");
    return list.sfsList[static_cast<std::size_t>(index)];
}

/// The list's last index, checked against the capacity so that no loop runs past the array.
std::int32_t LastRecord(const SymbolList& list)
{
    if (list.sfsCount < 0 || list.sfsCount > kMaxDistinct)
        throw std::out_of_range("summary calculation: sfsCount");
    return list.sfsCount;
}

/// The larger of two widths (either when equal).
double LargerOf(double a, double b)
{
    return a > b ? a : b;
}

/// Widths and offsets of every record, the bracket width and the row's length.
void LayoutSymbols(Calculation& c)
{
    const config::Settings& settings = c.settings;
    LayoutResults& layout = c.layout;

    layout.bracketWidth = Finite(MeasureText(c.txtCalc, L"(", settings.bracketFontName, settings.bracketFontHeight));
    MeasureText(c.txtCalc, L"", settings.symbolFontName, settings.symbolFontHeight);
    layout.rowWidth = 0;

    const std::int32_t last = LastRecord(c.list);
    for (std::int32_t i = 0; i <= last; ++i)
    {
        sfsObject& record = Record(c.list, i);
        // One measurement per statement: the transcript lists them in this order, and operands of one
        // expression would be measured in whatever order the compiler picks.
        const double wMax = W(c, record.maxR);
        const double wMin = W(c, record.minR);
        const double wLimits = LargerOf(wMax, wMin);
        const double wTol = W(c, record.matTolerance);
        const double wName = W(c, record.maxRoughName);
        double wRough = wName + 0.7 * W(c, record.maxRoughStr);
        if (!record.maxRoughStr.empty() && !record.maxRoughName.empty())
            wRough += W(c, kRoughGap);
        const double wMethode = W(c, record.methodeStr);
        const double wUpper = LargerOf(wRough, wMethode);
        double wSpacing = W(c, record.roughSpacing);
        if (record.direction != 0)
            wSpacing += W(c, kLayGap);
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

/// The insertion points of the two bracket notes.
void PlaceBrackets(Calculation& c)
{
    LayoutResults& layout = c.layout;
    const sfsObject& summary = Record(c.list, 0);
    const double baseX = layout.basePoint.first + layout.alignShift;

    layout.lBracketPos.first = Finite(baseX + summary.xWidth + layout.symbolGap + layout.padGap);
    layout.lBracketPos.second = Finite(layout.basePoint.second + c.settings.bracketBase +
                                       kBracketLiftFactor * c.settings.bracketFontHeight / kBracketLiftDivisor);
    layout.rBracketPos.first = Finite(baseX + layout.rowWidth - layout.bracketWidth);
    layout.rBracketPos.second = layout.lBracketPos.second;
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

double MeasureText(MeasuringSurface& txtCalc, const std::wstring& text, const std::wstring& fontName,
                   std::int32_t fontHeight)
{
    if (fontName != L"-" && !fontName.empty())
        txtCalc.SetFont(fontName, static_cast<double>(fontHeight));
    if (text.empty())
        return 0;
    return txtCalc.WidthMillimetres(text) / 1000.0;
}

// Trapped: the first failure ends the calculation with one fixed message; what was written stays.
bool CalculateSummary(const config::Settings& settings, SymbolList& list, MeasuringSurface& txtCalc,
                      LayoutResults& layout, ui::ErrorObject& cc)
{
    layout.calculated = true;
    try
    {
        Calculation c{settings, list, txtCalc, layout};
        const double fontScale = settings.symbolFontHeight / kReferenceFontHeight;
        layout.symbolGap = Finite(kSymbolGapAtReference * fontScale);
        layout.leadGap = Finite(kLeadGapAtReference * fontScale);
        layout.padGap = Finite(kPadGapAtReference * fontScale);

        MeasureText(txtCalc, L"", settings.symbolFontName, settings.symbolFontHeight);
        LayoutSymbols(c);

        const std::int32_t formatIndex = list.formatIndex;
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

        const std::int32_t last = LastRecord(list);
        for (std::int32_t i = 0; i <= last; ++i)
        {
            sfsObject& record = Record(list, i);
            record.y = layout.basePoint.second;
            if (i == 0)
            {
                record.X = Finite(layout.basePoint.first + layout.leadGap + layout.alignShift);
                continue;
            }
            const sfsObject& previous = Record(list, i - 1);
            const double bracket = i == 1 ? layout.bracketWidth : 0.0; // "(" stands before the first listed
            record.X =
                Finite(previous.X + previous.xWidth + layout.symbolGap + layout.padGap + bracket + record.xOffset);
        }

        PlaceBrackets(c);
        return true;
    }
    catch (const std::exception&)
    {
        cc.eMisc(kTextSymbolCreationFailed);
        return false;
    }
}

} // namespace symbols
