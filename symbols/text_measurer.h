// Measuring the width of a one-line text in a given font.
#pragma once

#include <string>

namespace symbols
{

/// The measuring port. Adapters: GDI on Windows, FreeType with fontconfig on Linux, a fixed-metric
/// double in the tests. Fonts are cached by the adapter; measuring never reloads a font file.
class TextMeasurer
{
public:
    TextMeasurer() = default;
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;
    virtual ~TextMeasurer() = default;

    /// Makes the family at this size (points) the font of later measurements. False when it cannot be
    /// applied (unknown family, a size of 0 or less); the previous font then stays.
    virtual bool ApplyFont(const std::wstring& family, double points) = 0;
    /// Width of a one-line text in the applied font, in millimetres.
    virtual double MeasureMillimetres(const std::wstring& text) = 0;
};

} // namespace symbols
