// What the FreeType and the GDI measurer must agree on, so that a text measures the same in glattmark.exe
// and in glattmark-sim: widths of texts in Liberation Sans (and in Arial, which it stands in for), as the
// FreeType measurer gives them from the font's advance widths, which the GDI measurer must give within
// 0.01 mm; and the fonts both refuse.
#pragma once

#include <limits>
#include <string>

namespace testing_support
{

struct MeasuredText
{
    const wchar_t* family;
    const wchar_t* text;
    double points;
    double millimetres;
};

inline constexpr MeasuredText kLiberationSansWidths[] = {
    {L"Liberation Sans", L"Ra 3,2", 14, 14.551394314236109},
    {L"Liberation Sans", L"(", 10, 1.1747775607638888},
    {L"Liberation Sans", L"Rz 6,3 \u00e4\u00df", 10, 15.292778862847221},
    {L"Liberation Sans", L"   ", 14.25, 4.190054321289062},
    {L"Liberation Sans", L"WWii", 3.5, 2.8794108072916664},
    {L"Arial", L"gefr\u00e4st \u20ac", 14, 19.217776150173609},
    {L"arial", L"Oberfl\u00e4chensymbol 1,6", 12, 43.532226562499993},
    {L"Arial", L"a\ue000", 14, 6.4509412977430554}, // U+E000 has no glyph: the missing-glyph box
};

struct RefusedFont
{
    std::wstring family;
    double points;
};

/// Fonts neither measurer may apply: an unknown family (for which both systems would hand out some
/// substitute with other widths), no family, a name cut at a NUL, and a size that is no finite number
/// above 0.
inline const RefusedFont kRefusedFonts[] = {
    {L"NoSuchFont Xyz", 14},
    {L"", 14},
    {std::wstring(L"Arial\0Bold", 10), 14},
    {L"Liberation Sans", 0},
    {L"Liberation Sans", -3},
    {L"Liberation Sans", std::numeric_limits<double>::quiet_NaN()},
    {L"Liberation Sans", std::numeric_limits<double>::infinity()},
};

} // namespace testing_support
