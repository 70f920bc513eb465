// Text measuring on Windows: GDI finds the font of a family, its own tables give the advance widths.
#pragma once

#include "symbols/text_measurer.h"

#include <memory>
#include <string>

namespace symbols
{

/// Measures with the font's design advance widths (its 'hmtx' table, in font units at the em size) scaled
/// to the size in points: unhinted, without kerning and not rounded to screen pixels, so that the same
/// text in the same font measures the same here and with the FreeType measurer on Linux.
///
/// A family can be applied when it is installed under that name (any case), or when the system's font
/// substitutes map it to an installed family. GDI would quietly hand out some other font for any name, so
/// creating the font proves nothing. A font without outline tables (a bitmap font) is refused as well.
/// Faces stay loaded for the life of the object; a measurement never loads a font.
class GdiMeasurer : public TextMeasurer
{
public:
    /// Makes the memory device context; throws std::runtime_error when the system cannot give one.
    GdiMeasurer();
    ~GdiMeasurer() override;

    /// False (and the previous font stays) for an empty, unknown or too long family name (more than 31
    /// characters), a font without outline tables, and a size that is not a finite number above 0.
    bool ApplyFont(const std::wstring& family, double points) override;
    /// Sum of the advance widths of the text's characters, in millimetres; a character the font has no
    /// glyph for counts with the width of the font's missing-glyph box. 0 before any font was applied.
    double MeasureMillimetres(const std::wstring& text) override;

    /// The face name GDI selected for the applied font; "" before any font was applied.
    std::wstring FaceName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace symbols
