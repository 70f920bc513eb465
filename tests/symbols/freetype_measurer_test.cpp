#include "symbols/text_measurer_freetype.h"

#include "tests/support/liberation_sans_widths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// A TrueType reader of its own, so that the expected widths do not come from FreeType: the table
// directory, 'head' (unitsPerEm), 'hhea' (numberOfHMetrics), 'hmtx' and a format 4 Unicode 'cmap'.
class TrueTypeMetrics
{
public:
    explicit TrueTypeMetrics(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        m_data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::uint16_t tableCount = U16(4);
        for (std::uint16_t t = 0; t < tableCount; ++t)
        {
            const std::size_t record = 12 + 16 * std::size_t{t};
            m_tables[std::string(m_data.begin() + static_cast<std::ptrdiff_t>(record),
                                 m_data.begin() + static_cast<std::ptrdiff_t>(record) + 4)] = U32(record + 8);
        }
        m_unitsPerEm = U16(m_tables.at("head") + 18);
        m_hMetricCount = U16(m_tables.at("hhea") + 34);
        FindUnicodeMap();
    }

    std::uint16_t UnitsPerEm() const { return m_unitsPerEm; }

    /// Advance width in font units of the glyph the character maps to (glyph 0 when none).
    std::uint16_t Advance(char16_t character) const
    {
        std::uint16_t glyph = Glyph(character);
        if (glyph >= m_hMetricCount)
            glyph = static_cast<std::uint16_t>(m_hMetricCount - 1);
        return U16(m_tables.at("hmtx") + 4 * std::size_t{glyph});
    }

    /// Width in millimetres at this size, as the font's design intends it (no hinting, no kerning).
    double WidthMillimetres(const std::u16string& text, double points) const
    {
        double units = 0;
        for (const char16_t c : text)
            units += Advance(c);
        return units / m_unitsPerEm * points * 25.4 / 72.0;
    }

private:
    std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(Byte(at) << 8 | Byte(at + 1)); }
    std::uint32_t U32(std::size_t at) const { return std::uint32_t{U16(at)} << 16 | U16(at + 2); }
    std::uint32_t Byte(std::size_t at) const { return static_cast<unsigned char>(m_data.at(at)); }

    void FindUnicodeMap()
    {
        const std::size_t cmap = m_tables.at("cmap");
        const std::uint16_t count = U16(cmap + 2);
        for (std::uint16_t i = 0; i < count; ++i)
        {
            const std::size_t record = cmap + 4 + 8 * std::size_t{i};
            const std::uint16_t platform = U16(record);
            const std::uint16_t encoding = U16(record + 2);
            const std::size_t subtable = cmap + U32(record + 4);
            if (((platform == 3 && encoding == 1) || platform == 0) && U16(subtable) == 4)
            {
                m_format4 = subtable;
                return;
            }
        }
        throw std::runtime_error("no format 4 Unicode cmap");
    }

    std::uint16_t Glyph(char16_t character) const
    {
        const std::size_t table = *m_format4;
        const std::size_t segments = U16(table + 6) / 2;
        const std::size_t endCodes = table + 14;
        const std::size_t startCodes = endCodes + 2 * segments + 2;
        const std::size_t deltas = startCodes + 2 * segments;
        const std::size_t rangeOffsets = deltas + 2 * segments;
        for (std::size_t s = 0; s < segments; ++s)
        {
            if (character > U16(endCodes + 2 * s))
                continue;
            const std::uint16_t start = U16(startCodes + 2 * s);
            if (character < start)
                return 0;
            const std::uint16_t delta = U16(deltas + 2 * s);
            const std::uint16_t rangeOffset = U16(rangeOffsets + 2 * s);
            if (rangeOffset == 0)
                return static_cast<std::uint16_t>(character + delta);
            const std::size_t at = rangeOffsets + 2 * s + rangeOffset + 2 * std::size_t{char16_t(character - start)};
            const std::uint16_t glyph = U16(at);
            return glyph == 0 ? std::uint16_t{0} : static_cast<std::uint16_t>(glyph + delta);
        }
        return 0;
    }

    std::vector<char> m_data;
    std::map<std::string, std::size_t> m_tables;
    std::uint16_t m_unitsPerEm = 0;
    std::uint16_t m_hMetricCount = 0;
    std::optional<std::size_t> m_format4;
};

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class FreeTypeMeasurerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!measurer.ApplyFont(L"Liberation Sans", 14))
            GTEST_SKIP() << "Liberation Sans is not installed (fonts-liberation)";
        fontFile = measurer.FontFile();
        ASSERT_TRUE(EndsWith(fontFile, "LiberationSans-Regular.ttf")) << fontFile;
        metrics = std::make_unique<TrueTypeMetrics>(fontFile);
    }

    symbols::FreeTypeMeasurer measurer;
    std::string fontFile;
    std::unique_ptr<TrueTypeMetrics> metrics;
};

TEST_F(FreeTypeMeasurerTest, WidthsAreTheFontsOwnAdvanceWidths)
{
    struct Case
    {
        std::wstring text;
        std::u16string same;
        double points;
    };
    const Case cases[] = {
        {L"Ra 3,2", u"Ra 3,2", 14}, {L"(", u"(", 14},        {L"Rz 6,3 \u00e4\u00df", u"Rz 6,3 \u00e4\u00df", 10},
        {L"   ", u"   ", 14.25},    {L"WWii", u"WWii", 3.5},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.same) + " at " + std::to_string(c.points) + " pt");
        ASSERT_TRUE(measurer.ApplyFont(L"Liberation Sans", c.points));
        EXPECT_NEAR(measurer.MeasureMillimetres(c.text), metrics->WidthMillimetres(c.same, c.points), 1e-9);
    }
}

TEST_F(FreeTypeMeasurerTest, GivesTheWidthsTheGdiMeasurerIsHeldTo)
{
    for (const auto& row : testing_support::kLiberationSansWidths)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.family) + L": " + row.text));
        ASSERT_TRUE(measurer.ApplyFont(row.family, row.points));
        EXPECT_NEAR(measurer.MeasureMillimetres(row.text), row.millimetres, 1e-9);
    }
}

TEST_F(FreeTypeMeasurerTest, ParenthesisAtFourteenPointsIsAboutOneAndAHalfMillimetres)
{
    // A sanity anchor against unit mistakes (points vs. pixels, 16.16 vs. font units): a 14-point
    // Arial-metric "(" is 0.333 em wide.
    EXPECT_NEAR(measurer.MeasureMillimetres(L"("), 14 * 25.4 / 72 * 682 / 2048, 1e-9);
}

TEST_F(FreeTypeMeasurerTest, CharacterWithoutGlyphMeasuresAsTheMissingGlyphBox)
{
    // U+E000 is private use; Liberation Sans has no glyph for it.
    const double missing = static_cast<double>(metrics->Advance(0)) / metrics->UnitsPerEm() * 14 * 25.4 / 72;
    ASSERT_GT(missing, 0);
    EXPECT_NEAR(measurer.MeasureMillimetres(L"\ue000"), missing, 1e-9);
    EXPECT_NEAR(measurer.MeasureMillimetres(L"a\ue000"), metrics->WidthMillimetres(u"a", 14) + missing, 1e-9);
}

TEST_F(FreeTypeMeasurerTest, ArialAndHelveticaResolveToTheirMetricTwin)
{
    for (const wchar_t* family : {L"Arial", L"arial", L"Helvetica"})
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(family)));
        ASSERT_TRUE(measurer.ApplyFont(family, 14));
        EXPECT_EQ(measurer.FontFile(), fontFile);
        EXPECT_NEAR(measurer.MeasureMillimetres(L"Ra 3,2"), metrics->WidthMillimetres(u"Ra 3,2", 14), 1e-9);
    }
}

TEST_F(FreeTypeMeasurerTest, WindowsFamiliesResolveToTheirLiberationTwins)
{
    struct Case
    {
        const wchar_t* family;
        const char* file;
    };
    const Case cases[] = {
        {L"Times New Roman", "LiberationSerif-Regular.ttf"},
        {L"Courier New", "LiberationMono-Regular.ttf"},
        {L"Arial Narrow", "LiberationSansNarrow-Regular.ttf"},
        {L"Liberation Serif", "LiberationSerif-Regular.ttf"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.family)));
        if (!measurer.ApplyFont(c.family, 12))
        {
            ADD_FAILURE() << "refused; is its Liberation twin installed?";
            continue;
        }
        EXPECT_TRUE(EndsWith(measurer.FontFile(), c.file)) << measurer.FontFile();
    }
}

TEST_F(FreeTypeMeasurerTest, RefusedFontKeepsThePreviousOne)
{
    ASSERT_TRUE(measurer.ApplyFont(L"Liberation Sans", 10));
    const double before = measurer.MeasureMillimetres(L"Ra 3,2");

    for (const auto& c : testing_support::kRefusedFonts)
    {
        SCOPED_TRACE(testing::PrintToString(c.family) + " at " + std::to_string(c.points));
        EXPECT_FALSE(measurer.ApplyFont(c.family, c.points));
        EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), before);
    }
}

TEST_F(FreeTypeMeasurerTest, FamilyOnlyASubstituteStandsInForIsRefused)
{
    // fontconfig answers every request with some font; a sans-serif stand-in for a serif family
    // would measure wrong, so only the family itself or its metric twin counts.
    EXPECT_FALSE(measurer.ApplyFont(L"Frutiger Glattmark Test", 14));
    EXPECT_FALSE(measurer.ApplyFont(L"sans-serif", 14));
}

TEST_F(FreeTypeMeasurerTest, RepeatedMeasurementGivesIdenticalResults)
{
    const double first = measurer.MeasureMillimetres(L"Ra 3,2");
    ASSERT_TRUE(measurer.ApplyFont(L"Arial", 14));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), first);
}

TEST(FreeTypeMeasurer, MeasuresNothingBeforeAFontIsApplied)
{
    symbols::FreeTypeMeasurer measurer;
    EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), 0);
    EXPECT_EQ(measurer.FontFile(), "");
    EXPECT_FALSE(measurer.ApplyFont(L"NoSuchFont Xyz", 14));
    EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), 0);
}

} // namespace
