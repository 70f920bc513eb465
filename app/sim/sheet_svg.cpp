#include "app/sim/sheet_svg.h"

#include "ui/conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>
#include <vector>

namespace app::sim
{

namespace
{

using host::sim::DocumentModel;
using host::sim::NoteModel;
using host::sim::SheetModel;
using host::sim::SymbolModel;
using host::sim::TextFormatModel;

constexpr double kMargin = 10.0;               ///< mm of grey around what is drawn
constexpr double kBeside = 1000.0;             ///< mm beside the sheet that are still drawn
constexpr std::string_view kOwnPrefix = "glm"; ///< the program's own annotations are drawn in red

/// Number for SVG: fixed, three decimals, independent of the locale.
std::string Num(double value)
{
    if (!std::isfinite(value))
        value = 0;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 3);
    std::string text(buffer.data(), result.ptr);
    // "-0.000" reads badly in a picture's source.
    if (text == "-0.000")
        text = "0.000";
    return text;
}

std::string Escape(std::string_view text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

/// Text slot n of a symbol as UTF-8; an empty value draws nothing, like an empty text.
std::string Slot(const SymbolModel& symbol, int n)
{
    return ui::ToUtf8(symbol.texts[static_cast<std::size_t>(n)].value_or(L""));
}

/// A rough width of a text in mm, for the length of lines and the place of texts beside others.
/// Arial's average advance is a little above half its height.
double ApproxWidth(std::string_view text, double height)
{
    const std::wstring wide = ui::FromUtf8(text);
    return 0.58 * height * static_cast<double>(wide.size());
}

/// The sign of a direction-of-lay code as ISO 1302 writes it.
std::string LaySign(int direction)
{
    switch (direction)
    {
    case 1:
        return "C";
    case 2:
        return "X";
    case 3:
        return "M";
    case 4:
        return "=";
    case 5:
        return "\u22a5";
    case 6:
        return "R";
    case 7:
        return "P";
    default:
        return direction == 0 ? "" : "?";
    }
}

struct Font
{
    std::string family = "Arial";
    double height = host::sim::kDefaultCharHeight * 1000; ///< mm
    bool bold = false;
};

/// The annotation's own text format; a family or a height that cannot be drawn falls back to the empty
/// drawing's.
Font FontOf(const TextFormatModel& format)
{
    Font font;
    if (!format.typeFaceName.empty())
        font.family = ui::ToUtf8(format.typeFaceName);
    font.height = format.charHeight * 1000;
    font.bold = format.bold;
    if (!(font.height > 0) || font.height > 1000)
        font.height = host::sim::kDefaultCharHeight * 1000;
    return font;
}

/// Writes SVG in sheet millimetres: x to the right, y up from the sheet's lower left corner.
class Canvas
{
public:
    explicit Canvas(double sheetHeight) : m_sheetHeight(sheetHeight) {}

    std::string X(double x) const { return Num(x); }
    /// Grows the drawn area by a point (sheet millimetres).
    void Cover(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        m_minX = std::min(m_minX, x);
        m_maxX = std::max(m_maxX, x);
        m_minY = std::min(m_minY, y);
        m_maxY = std::max(m_maxY, y);
    }
    std::string Y(double y) const { return Num(m_sheetHeight - y); }

    void Line(double x1, double y1, double x2, double y2, double stroke)
    {
        Cover(x1, y1);
        Cover(x2, y2);
        m_out += "<line x1=\"" + X(x1) + "\" y1=\"" + Y(y1) + "\" x2=\"" + X(x2) + "\" y2=\"" + Y(y2) +
                 "\" stroke-width=\"" + Num(stroke) + "\"/>\n";
    }
    void Polyline(const std::vector<std::pair<double, double>>& points, double stroke, bool closed)
    {
        m_out += closed ? "<polygon points=\"" : "<polyline points=\"";
        for (const auto& [x, y] : points)
        {
            Cover(x, y);
            m_out += X(x) + "," + Y(y) + " ";
        }
        m_out += "\" fill=\"none\" stroke-width=\"" + Num(stroke) + "\"/>\n";
    }
    void Circle(double cx, double cy, double r, double stroke)
    {
        Cover(cx - r, cy - r);
        Cover(cx + r, cy + r);
        m_out += "<circle cx=\"" + X(cx) + "\" cy=\"" + Y(cy) + "\" r=\"" + Num(r) +
                 "\" fill=\"none\" stroke-width=\"" + Num(stroke) + "\"/>\n";
    }
    /// anchor "start", "middle" or "end"; (x, y) is the baseline point; angle in radians, counter-clockwise.
    void Text(double x, double y, std::string_view text, const Font& font, const char* anchor, double angle = 0,
              const char* extra = "")
    {
        if (text.empty())
            return;
        const double width = ApproxWidth(text, font.height);
        const std::string_view anchorName(anchor);
        const double from = anchorName == "end" ? -width : anchorName == "middle" ? -width / 2 : 0;
        const double cosA = std::cos(angle);
        const double sinA = std::sin(angle);
        for (double along : {from, from + width})
        {
            for (double up : {-0.3 * font.height, font.height})
                Cover(x + along * cosA - up * sinA, y + along * sinA + up * cosA);
        }
        m_out += "<text x=\"" + X(x) + "\" y=\"" + Y(y) + "\" font-family=\"" + Escape(font.family) +
                 "\" font-size=\"" + Num(font.height) + "\" text-anchor=\"" + anchor + "\"";
        if (font.bold)
            m_out += " font-weight=\"bold\"";
        if (angle != 0)
            m_out += " transform=\"rotate(" + Num(-angle * 180 / std::numbers::pi) + " " + X(x) + " " + Y(y) + ")\"";
        m_out += std::string(extra) + ">" + Escape(text) + "</text>\n";
    }
    void Raw(const std::string& text) { m_out += text; }

    const std::string& Out() const { return m_out; }
    double MinX() const { return m_minX; }
    double MaxX() const { return m_maxX; }
    double MinY() const { return m_minY; }
    double MaxY() const { return m_maxY; }

private:
    double m_sheetHeight;
    std::string m_out;
    // What was drawn, the sheet included (sheet millimetres): annotations may stand beside the sheet.
    double m_minX = 0;
    double m_maxX = 0;
    double m_minY = 0;
    double m_maxY = 0;
};

/// One surface-finish symbol, its tip (the point that touches the surface) at its insertion point.
void DrawSymbol(Canvas& canvas, const SymbolModel& symbol)
{
    const double x = symbol.x * 1000;
    const double y = symbol.y * 1000;
    const Font font = FontOf(symbol.textFormat);
    const double h = font.height;
    const double stroke = std::max(0.1 * h, 0.18);
    const double slope = std::tan(std::numbers::pi / 6); // legs 60 degrees from the horizontal
    const double h1 = 1.4 * h;                           // short leg
    const double h2 = 3.0 * h;                           // long leg
    const std::string name = ui::ToUtf8(symbol.name);
    const bool own = name.rfind(kOwnPrefix, 0) == 0;

    canvas.Raw(std::string("<g class=\"symbol\" stroke=\"") + (own ? "#b00000" : "black") + "\" fill=\"" +
               (own ? "#b00000" : "black") + "\">\n<title>" + Escape(name) + "</title>\n");

    const double kneeX = x + h2 * slope;
    const double kneeY = y + h2;
    canvas.Polyline({{x - h1 * slope, y + h1}, {x, y}, {kneeX, kneeY}}, stroke, false);

    const int kind = symbol.type;
    if (kind == 1)
        canvas.Line(x - h1 * slope, y + h1, x + h1 * slope, y + h1, stroke);
    else if (kind == 2)
        canvas.Circle(x, y + 2 * h1 / 3, h1 / 3, stroke); // touches both legs, top at the short leg's end

    // Right of the long leg: the roughness under the line, the method above it, spacing and lay at the foot.
    std::string rough = Slot(symbol, 3);
    const std::string value = Slot(symbol, 4);
    if (!rough.empty() && !value.empty())
        rough += " ";
    rough += value;
    const std::string method = Slot(symbol, 2);
    std::string further;
    for (int n : {8, 9, 10})
    {
        const std::string text = Slot(symbol, n);
        if (!text.empty())
            further += (further.empty() ? "" : " ") + text;
    }
    const int direction = symbol.direction;
    std::string foot = LaySign(direction);
    const std::string spacing = Slot(symbol, 7);
    if (!spacing.empty())
        foot += (foot.empty() ? "" : "  ") + spacing;

    const double textX = kneeX + 0.3 * h;
    const double lineLength = std::max({ApproxWidth(rough, h), ApproxWidth(method, h), ApproxWidth(further, h)});
    if (lineLength > 0)
        canvas.Line(kneeX, kneeY, textX + lineLength + 0.3 * h, kneeY, stroke);
    canvas.Text(textX, kneeY + 0.35 * h, method, font, "start", 0, " stroke=\"none\"");
    canvas.Text(textX - 0.15 * h, kneeY - 1.15 * h, rough, font, "start", 0, " stroke=\"none\"");
    canvas.Text(textX - 0.9 * h, kneeY - 2.35 * h, further, font, "start", 0, " stroke=\"none\"");
    canvas.Text(x + h1 * slope + 0.5 * h, y + 0.1 * h, foot, font, "start", 0, " stroke=\"none\"");

    // Left of the short leg: the limits stacked, the machining allowance beside them.
    const std::string upper = Slot(symbol, 5);
    const std::string lower = Slot(symbol, 6);
    const double limitsX = x - h1 * slope - 0.2 * h;
    canvas.Text(limitsX, y + 0.8 * h, upper, font, "end", 0, " stroke=\"none\"");
    canvas.Text(limitsX, y - 0.4 * h, lower, font, "end", 0, " stroke=\"none\"");
    const double limitsWidth = std::max(ApproxWidth(upper, h), ApproxWidth(lower, h));
    canvas.Text(limitsX - limitsWidth - (limitsWidth > 0 ? 0.4 * h : 0), y + 0.2 * h, Slot(symbol, 1), font, "end", 0,
                " stroke=\"none\"");

    if (symbol.allAround)
        canvas.Circle(kneeX, kneeY, 0.35 * h, stroke);

    // The annotation name, small and grey under the tip, so that the row can be checked by name.
    Font nameFont;
    nameFont.height = std::max(0.4 * h, 1.0);
    canvas.Text(x, y - 0.6 * h - nameFont.height, name, nameFont, "middle", 0, " stroke=\"none\" fill=\"#808080\"");
    canvas.Raw("</g>\n");
}

/// A note, its insertion point at the upper left of its first line.
void DrawNote(Canvas& canvas, const NoteModel& note)
{
    const double x = note.x * 1000;
    const double y = note.y * 1000;
    const double angle = note.angle;
    const Font font = FontOf(note.textFormat);
    const std::string name = ui::ToUtf8(note.name);
    const bool own = name.rfind(kOwnPrefix, 0) == 0;
    canvas.Raw(std::string("<g class=\"note\" fill=\"") + (own ? "#b00000" : "black") + "\">\n<title>" + Escape(name) +
               "</title>\n");

    const std::string text = ui::ToUtf8(note.text);
    double lineY = 0;
    std::size_t start = 0;
    const double cosA = std::cos(angle);
    const double sinA = std::sin(angle);
    while (start <= text.size())
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lineY -= font.height; // the baseline of each line, one height below the top of it
        canvas.Text(x - lineY * sinA, y + lineY * cosA, line, font, "start", angle);
        lineY -= 0.4 * font.height;
        start = end + 1;
    }
    canvas.Raw("</g>\n");
}

} // namespace

bool RenderSheetSvg(const host::sim::SessionModel& session, std::string& svg, std::wstring& error)
{
    if (!session.activeDocument)
    {
        error = L"Kein Dokument ge\u00f6ffnet: nichts zu zeichnen.";
        return false;
    }
    if (*session.activeDocument >= session.documents.size())
    {
        error = L"Das aktive Dokument fehlt in der Sitzung.";
        return false;
    }
    const DocumentModel& document = session.documents[*session.activeDocument];
    if (document.type != host::kDrawing)
    {
        error = L"Das aktive Dokument ist keine Zeichnung: nichts zu zeichnen.";
        return false;
    }
    const SheetModel* sheet = host::sim::CurrentSheet(document);
    if (sheet == nullptr)
    {
        error = L"Die Zeichnung hat kein aktuelles Blatt.";
        return false;
    }

    const std::vector<double>& properties = sheet->properties;
    double width = 420;
    double height = 297;
    if (properties.size() > 6 && properties[5] > 0 && properties[6] > 0)
    {
        width = properties[5] * 1000;
        height = properties[6] * 1000;
    }

    Canvas canvas(height);
    canvas.Cover(width, height);
    const std::string sheetName = ui::ToUtf8(sheet->name);
    canvas.Raw("<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
               "\" fill=\"white\" stroke=\"black\" stroke-width=\"0.5\"/>\n");
    Font label;
    label.height = 3;
    canvas.Text(2, -5, sheetName + " (" + Num(width) + " \u00d7 " + Num(height) + " mm)", label, "start", 0,
                " fill=\"#606060\"");

    auto drawAll = [&canvas](const auto& holder) {
        for (const NoteModel& note : holder.notes)
            DrawNote(canvas, note);
        for (const SymbolModel& symbol : holder.symbols)
            DrawSymbol(canvas, symbol);
    };
    drawAll(*sheet);
    for (const host::sim::ViewModel& view : sheet->views)
        drawAll(view);

    // The sheet's lower left corner is the origin. The picture takes in whatever stands beside the sheet
    // (a row that runs over the edge must be seen), within reason, and a margin for the sheet's caption.
    const double left = std::max(canvas.MinX(), -kBeside) - kMargin;
    const double right = std::min(canvas.MaxX(), width + kBeside) + kMargin;
    const double top = height - std::min(canvas.MaxY(), height + kBeside) - kMargin; // in SVG's y, downwards
    const double bottom = height - std::max(canvas.MinY(), -kBeside) + kMargin;
    const std::string w = Num(right - left);
    const std::string h = Num(bottom - top);
    svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w +
          "mm\" height=\"" + h + "mm\" viewBox=\"" + Num(left) + " " + Num(top) + " " + w + " " + h + "\">\n" +
          "<rect x=\"" + Num(left) + "\" y=\"" + Num(top) + "\" width=\"" + w + "\" height=\"" + h +
          "\" fill=\"#e8e8e8\"/>\n" + canvas.Out() + "</svg>\n";
    return true;
}

} // namespace app::sim
