// Text measuring on Linux: fontconfig finds the font file of a family, FreeType reads its advance widths.
#pragma once

#include "symbols/text_measurer.h"

#include <memory>
#include <string>

namespace symbols
{

/// Measures with the font's own advance widths, unhinted and without kerning, which is what the
/// Windows text extent of the same font at the same size gives within rounding.
///
/// A family counts as present when fontconfig's best match is that family or its metric-compatible
/// twin (Arial and Liberation Sans, Times New Roman and Liberation Serif, Courier New and Liberation
/// Mono, Arial Narrow and Liberation Sans Narrow, Helvetica as Liberation Sans). Any other substitute
/// fontconfig offers would give different widths, so such a family is refused. Faces stay open for
/// the life of the object, keyed by file and face index; a measurement never reloads a file.
class FreeTypeMeasurer : public TextMeasurer
{
public:
    /// Loads the fontconfig configuration and starts FreeType; throws std::runtime_error when either
    /// cannot be started.
    FreeTypeMeasurer();
    ~FreeTypeMeasurer() override;

    /// False (and the previous font stays) for an empty or unknown family, a family only a foreign
    /// substitute stands in for, a font file FreeType cannot open as a scalable face, and a size that
    /// is not a finite number above 0.
    bool ApplyFont(const std::wstring& family, double points) override;
    /// Sum of the advance widths of the text's characters, in millimetres; a character the font has no
    /// glyph for counts with the width of the font's missing-glyph box. 0 before any font was applied.
    double MeasureMillimetres(const std::wstring& text) override;

    /// File of the applied font (UTF-8 path as fontconfig reports it); "" before any font was applied.
    std::string FontFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace symbols
