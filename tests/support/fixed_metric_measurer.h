// A text measurer whose widths can be worked out by hand: every character has a fixed width in
// millimetres (1 mm unless told otherwise), optionally scaled by the font size.
#pragma once

#include "symbols/text_measurer.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testing_support
{

class FixedMetricMeasurer : public symbols::TextMeasurer
{
public:
    struct FontCall
    {
        std::wstring family;
        double points = 0;
        bool accepted = false;
    };

    /// Families that can be applied; any other is refused, as is a size of 0 or less.
    std::set<std::wstring> knownFamilies{L"Arial", L"Times New Roman", L"Courier New", L"Liberation Sans"};
    /// Width of a character not in charWidths, mm.
    double defaultWidth = 1.0;
    /// Widths of single characters, mm.
    std::map<wchar_t, double> charWidths;
    /// When above 0, widths hold at this size and scale in proportion to the applied size.
    double referencePoints = 0;
    /// Refuses every font while set.
    bool refuseAll = false;
    /// When set, every measurement answers this instead (for example NaN).
    std::optional<double> widthOverride;

    /// Every ApplyFont call, refused ones included.
    std::vector<FontCall> fontCalls;
    /// Every text measured, with the font applied then.
    std::vector<FontCall> measuredFonts;
    std::vector<std::wstring> measuredTexts;

    std::wstring currentFamily;
    double currentPoints = 0;

    bool ApplyFont(const std::wstring& family, double points) override
    {
        const bool accepted = !refuseAll && points > 0 && knownFamilies.count(family) != 0;
        fontCalls.push_back({family, points, accepted});
        if (accepted)
        {
            currentFamily = family;
            currentPoints = points;
        }
        return accepted;
    }

    double MeasureMillimetres(const std::wstring& text) override
    {
        measuredTexts.push_back(text);
        measuredFonts.push_back({currentFamily, currentPoints, true});
        if (widthOverride)
            return *widthOverride;
        double width = 0;
        for (const wchar_t c : text)
        {
            const auto found = charWidths.find(c);
            width += found != charWidths.end() ? found->second : defaultWidth;
        }
        if (referencePoints > 0)
            width *= currentPoints / referencePoints;
        return width;
    }

    /// The families of the accepted ApplyFont calls, in order.
    std::vector<std::wstring> AppliedFamilies() const
    {
        std::vector<std::wstring> families;
        for (const FontCall& call : fontCalls)
        {
            if (call.accepted)
                families.push_back(call.family);
        }
        return families;
    }
};

} // namespace testing_support
