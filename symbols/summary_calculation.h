// Lays out the output row: measures every record's texts, gives each symbol its room and insertion
// point from the sheet format's base point, and places the two bracket notes.
#pragma once

#include "config/settings.h"
#include "symbols/symbol_list.h"
#include "symbols/text_measurer.h"
#include "ui/error_object.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace symbols
{

/// Recorded when the row cannot be laid out (a font that cannot be applied, a number out of range).
inline constexpr const wchar_t* kTextSymbolCreationFailed =
    L"Fehler bei der Symbolerstellung! Konfiguration pr\u00fcfen !";

/// A font the measuring surface could not apply.
class FontError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// One text the calculation measured, as the surface held its font then (for the transcript).
struct Measurement
{
    std::wstring text;
    std::wstring font;
    double size = 0;  ///< points
    double width = 0; ///< metres
};

/// The invisible measuring surface: it keeps the font last applied from one measurement to the next.
class MeasuringSurface
{
public:
    explicit MeasuringSurface(TextMeasurer& measurer) : m_measurer(measurer) {}

    /// Sets the font name, then the size; throws FontError when the measurer refuses the font.
    void SetFont(const std::wstring& family, double points);
    /// Width of text in millimetres in the current font.
    double WidthMillimetres(const std::wstring& text);

    const std::wstring& FontName() const { return m_fontName; }
    double FontSize() const { return m_fontSize; }

    /// Every non-empty text measured, in order; nothing is recorded unless a log is attached.
    void AttachLog(std::vector<Measurement>* log) { m_log = log; }

private:
    TextMeasurer& m_measurer;
    std::wstring m_fontName = L"Arial";
    double m_fontSize = 14.25;
    bool m_applied = false; ///< the initial font is applied on first use
    std::vector<Measurement>* m_log = nullptr;
};

using Point = std::pair<double, double>;

/// Results of the calculation, metres; valid after a successful CalculateSummary.
struct LayoutResults
{
    double symbolGap = 0;
    double leadGap = 0;
    double padGap = 0;
    double bracketWidth = 0; ///< width of "(" in the bracket font
    double rowWidth = 0;
    double alignShift = 0; ///< -rowWidth when the row ends at the base point, else 0
    Point basePoint{0, 0};
    Point lBracketPos{0, 0};
    Point rBracketPos{0, 0};
    bool calculated = false; ///< the calculation ran (successfully or not)
};

/// Width of text in metres on the measuring surface; a font name other than "-" and "" is applied first.
/// Throws FontError.
double MeasureText(MeasuringSurface& txtCalc, const std::wstring& text, const std::wstring& fontName,
                   std::int32_t fontHeight);

/// Lays out the row of list's records 0 to sfsCount into layout and the records' positions. False after a
/// failure, with the error recorded in cc.
bool CalculateSummary(const config::Settings& settings, SymbolList& list, MeasuringSurface& txtCalc,
                      LayoutResults& layout, ui::ErrorObject& cc);

} // namespace symbols
