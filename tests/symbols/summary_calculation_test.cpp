#include "symbols/summary_calculation.h"

#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr const wchar_t* kSymbolsNotCreated = L"Fehler bei der Symbolerstellung! Konfiguration pr\u00fcfen !";
constexpr double kTol = 1e-9;

// Widths in millimetres: every character 1 mm, "(" 2 mm, whatever the font and size.
class SummaryCalculation : public ::testing::Test
{
protected:
    SummaryCalculation()
    {
        measurer.charWidths[L'('] = 2.0;
        settings.symbolFontName = L"Arial";
        settings.symbolFontHeight = 14;
        settings.bracketFontName = L"Arial";
        settings.bracketFontHeight = 10;
        settings.bracketBase = 0.001;
        list.formatIndex = -1;
    }

    bool Calculate() { return symbols::CalculateSummary(settings, list, txtCalc, layout, cc); }

    // Roughness name 4 mm, value 6 mm: the records of the worked example.
    void SetUpWorkedExample()
    {
        for (std::size_t i = 0; i <= 1; ++i)
        {
            list.sfsList[i].maxRoughName = L"abcd";
            list.sfsList[i].maxRoughStr = L"123456";
        }
        list.sfsCount = 1;
    }

    symbols::sfsObject& Record(std::size_t i) { return list.sfsList[i]; }

    testing_support::RecordingMessageWindow window;
    testing_support::FixedMetricMeasurer measurer;
    ui::ErrorObject cc{window};
    config::Settings settings;
    symbols::SymbolList list;
    symbols::MeasuringSurface txtCalc{measurer};
    symbols::LayoutResults layout;
};

TEST_F(SummaryCalculation, WorkedExampleRowBeginsAtTheBasePoint)
{
    SetUpWorkedExample();

    ASSERT_TRUE(Calculate());

    EXPECT_TRUE(layout.calculated);
    EXPECT_NEAR(layout.symbolGap, 0.01, kTol);
    EXPECT_NEAR(layout.leadGap, 0.0038, kTol);
    EXPECT_NEAR(layout.padGap, 0.0021, kTol);
    EXPECT_NEAR(layout.bracketWidth, 0.002, kTol);
    EXPECT_NEAR(Record(0).xOffset, 0, kTol);
    EXPECT_NEAR(Record(0).xWidth, 0.0112, kTol);
    EXPECT_NEAR(Record(1).xWidth, 0.0112, kTol);
    EXPECT_NEAR(layout.rowWidth, 0.0485, kTol);
    EXPECT_NEAR(layout.alignShift, 0, kTol);
    EXPECT_NEAR(layout.basePoint.first, 0.1, kTol);
    EXPECT_NEAR(layout.basePoint.second, 0.1, kTol);
    EXPECT_NEAR(Record(0).X, 0.1038, kTol);
    EXPECT_NEAR(Record(1).X, 0.1291, kTol);
    EXPECT_NEAR(layout.lBracketPos.first, 0.1233, kTol);
    EXPECT_NEAR(layout.rBracketPos.first, 0.1465, kTol);
    EXPECT_NEAR(Record(0).y, 0.1, kTol);
    EXPECT_NEAR(Record(1).y, 0.1, kTol);
    const double bracketY = 0.1 + 0.001 + 0.68 * 10 / 2540;
    EXPECT_NEAR(layout.lBracketPos.second, bracketY, kTol);
    EXPECT_NEAR(layout.rBracketPos.second, bracketY, kTol);
    EXPECT_TRUE(cc.NoErr());
    // The surface is left holding the symbol font.
    EXPECT_EQ(txtCalc.FontName(), L"Arial");
    EXPECT_EQ(txtCalc.FontSize(), 14);
}

TEST_F(SummaryCalculation, WorkedExampleRowEndsAtTheBasePointWithHAlign1)
{
    SetUpWorkedExample();
    settings.hAlign = 1;

    ASSERT_TRUE(Calculate());

    EXPECT_NEAR(layout.alignShift, -0.0485, kTol);
    EXPECT_NEAR(Record(0).X, 0.0553, kTol);
    EXPECT_NEAR(Record(1).X, 0.0806, kTol);
    EXPECT_NEAR(layout.lBracketPos.first, 0.0748, kTol);
    EXPECT_NEAR(layout.rBracketPos.first, 0.098, kTol);
    EXPECT_NEAR(layout.rBracketPos.first, layout.basePoint.first - layout.bracketWidth, kTol);
}

TEST_F(SummaryCalculation, OtherAlignmentValuesBeginTheRowAtTheBasePoint)
{
    for (const std::int32_t hAlign : {0, 2, -1, 7})
    {
        SCOPED_TRACE(hAlign);
        SetUpWorkedExample();
        settings.hAlign = hAlign;
        ASSERT_TRUE(Calculate());
        EXPECT_NEAR(Record(0).X, 0.1038, kTol);
        EXPECT_NEAR(layout.alignShift, 0, kTol);
    }
}

// Offsets, limits, tolerance, lay mark and the kind-2 summary without blanks, on a configured format.
TEST_F(SummaryCalculation, TwoListedSymbolsWithOffsetsAndALayMark)
{
    settings.formats[0].BasePointX = 0.2;
    settings.formats[0].BasePointY = 0.05;
    list.formatIndex = 0;
    list.sfsCount = 2;
    Record(0).maxRoughStr = L"6,3"; // kind 2: no name, so no three-blank allowance
    Record(1).matTolerance = L"ab";
    Record(1).maxR = L"abc";
    Record(1).minR = L"a";
    Record(1).maxRoughName = L"Ra";
    Record(1).maxRoughStr = L"1,6";
    Record(1).methodeStr = L"gefr\u00e4st";
    Record(2).roughSpacing = L"x";
    Record(2).direction = 1;
    Record(2).maxRoughStr = L"12";
    Record(2).minR = L"abcd";

    ASSERT_TRUE(Calculate());

    EXPECT_NEAR(Record(0).xOffset, 0, kTol);
    EXPECT_NEAR(Record(0).xWidth, 0.0021, kTol);
    EXPECT_NEAR(Record(1).xOffset, 0.004, kTol);  // 0.8 * 2 + 0.8 * 3
    EXPECT_NEAR(Record(1).xWidth, 0.0084, kTol);  // 0.2 * 3 + (2 + 0.7 * 3 + 3) + 0.35 * 2
    EXPECT_NEAR(Record(2).xOffset, 0.0032, kTol); // 0.8 * 4
    EXPECT_NEAR(Record(2).xWidth, 0.0058, kTol);  // 0.2 * 4 + (1 + 4 blanks)
    // 12.1 + (1.08 * 4 + 8.4 + 12.1 + 4) + (1.08 * 3.2 + 5.8 + 12.1) mm
    EXPECT_NEAR(layout.rowWidth, 0.062276, kTol);
    EXPECT_NEAR(Record(0).X, 0.2038, kTol);
    EXPECT_NEAR(Record(1).X, 0.224, kTol);
    EXPECT_NEAR(Record(2).X, 0.2477, kTol);
    EXPECT_NEAR(Record(2).y, 0.05, kTol);
    EXPECT_NEAR(layout.lBracketPos.first, 0.2142, kTol);
    EXPECT_NEAR(layout.lBracketPos.first, Record(1).X - layout.leadGap - layout.bracketWidth - Record(1).xOffset, kTol);
    EXPECT_NEAR(layout.rBracketPos.first, 0.260276, kTol);
}

TEST_F(SummaryCalculation, SummaryAloneStillPlacesTheBrackets)
{
    Record(0).maxRoughName = L"Ra";
    Record(0).maxRoughStr = L"3,2";
    Record(1).maxRoughStr = L"left over from a longer list";
    list.sfsCount = 0;

    ASSERT_TRUE(Calculate());

    const double xWidth0 = 0.002 + 0.0021 + 0.003; // name + 0.7 * value + three blanks
    EXPECT_NEAR(Record(0).xWidth, xWidth0, kTol);
    EXPECT_NEAR(layout.rowWidth, 0.01 + xWidth0, kTol);
    EXPECT_NEAR(layout.lBracketPos.first, 0.1 + xWidth0 + 0.01 + 0.0021, kTol);
    EXPECT_NEAR(layout.rBracketPos.first, 0.1 + 0.01 + xWidth0 - 0.002, kTol);
    EXPECT_NEAR(Record(1).xWidth, 0, kTol); // records beyond the list are not touched
    EXPECT_NEAR(Record(1).X, 0, kTol);
}

TEST_F(SummaryCalculation, EmptyRecordsTakeNoRoomAndEmptyTextsAreNotMeasured)
{
    list.sfsCount = 2;
    Record(1).xOffset = 7; // stale values are recomputed
    Record(1).xWidth = 7;

    ASSERT_TRUE(Calculate());

    for (std::size_t i = 0; i <= 2; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(Record(i).xOffset, 0);
        EXPECT_EQ(Record(i).xWidth, 0);
    }
    EXPECT_EQ(measurer.measuredTexts, std::vector<std::wstring>{L"("});
}

TEST_F(SummaryCalculation, FontDashMeasuresInTheSurfacesCurrentFont)
{
    settings.symbolFontName = L"-";
    settings.bracketFontName = L"-";
    SetUpWorkedExample();
    std::vector<symbols::Measurement> log;
    txtCalc.AttachLog(&log);

    ASSERT_TRUE(Calculate());

    ASSERT_EQ(measurer.fontCalls.size(), 1u); // only the surface's initial font
    EXPECT_EQ(measurer.fontCalls[0].family, L"Arial");
    EXPECT_EQ(measurer.fontCalls[0].points, 14.25);
    ASSERT_FALSE(log.empty());
    for (const symbols::Measurement& m : log)
    {
        SCOPED_TRACE(m.text);
        EXPECT_EQ(m.font, L"Arial");
        EXPECT_EQ(m.size, 14.25);
    }
}

TEST_F(SummaryCalculation, LogRecordsEveryNonEmptyTextWithFontAndWidthInMetres)
{
    settings.bracketFontName = L"Courier New";
    Record(0).maxRoughName = L"Ra";
    Record(0).maxRoughStr = L"6,3";
    std::vector<symbols::Measurement> log;
    txtCalc.AttachLog(&log);

    ASSERT_TRUE(Calculate());

    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].text, L"(");
    EXPECT_EQ(log[0].font, L"Courier New");
    EXPECT_EQ(log[0].size, 10);
    EXPECT_NEAR(log[0].width, 0.002, kTol);
    EXPECT_EQ(log[1].text, L"Ra");
    EXPECT_EQ(log[1].font, L"Arial");
    EXPECT_EQ(log[1].size, 14);
    EXPECT_EQ(log[2].text, L"6,3");
    EXPECT_EQ(log[3].text, L"   ");
    EXPECT_NEAR(log[3].width, 0.003, kTol);
}

// The transcript lists the measurements; they come in the order the layout reads the texts, whatever
// order a compiler evaluates operands in.
TEST_F(SummaryCalculation, TextsOfARecordAreMeasuredInLayoutOrder)
{
    symbols::sfsObject& r = Record(0);
    r.maxR = L"max";
    r.minR = L"min";
    r.matTolerance = L"tol";
    r.maxRoughName = L"Ra";
    r.maxRoughStr = L"6,3";
    r.methodeStr = L"gedreht";
    r.roughSpacing = L"sp";
    r.direction = 2;

    ASSERT_TRUE(Calculate());

    const std::vector<std::wstring> expected = {L"(",   L"max", L"min",     L"tol", L"Ra",
                                                L"6,3", L"   ", L"gedreht", L"sp",  L"    "};
    EXPECT_EQ(measurer.measuredTexts, expected);
}

TEST_F(SummaryCalculation, FontThatCannotBeAppliedEndsTheCalculationWithOneMessage)
{
    SetUpWorkedExample();
    settings.bracketFontName = L"Nonexistent Sans";

    EXPECT_FALSE(Calculate());

    EXPECT_TRUE(layout.calculated);
    EXPECT_EQ(cc.Description(), kSymbolsNotCreated);
    EXPECT_NEAR(layout.symbolGap, 0.01, kTol); // what was computed before the failure stays
}

TEST_F(SummaryCalculation, BadListOrFormatIndexIsAFailureNotAnOverrun)
{
    struct Case
    {
        const char* what;
        std::int32_t sfsCount;
        std::int32_t formatIndex;
    };
    for (const Case& c : {Case{"count above capacity", 201, -1}, Case{"negative count", -1, -1},
                          Case{"format beyond capacity", 1, 11}, Case{"negative format", 1, -2}})
    {
        SCOPED_TRACE(c.what);
        cc.Clear();
        list.sfsCount = c.sfsCount;
        list.formatIndex = c.formatIndex;
        EXPECT_FALSE(Calculate());
        EXPECT_EQ(cc.Description(), kSymbolsNotCreated);
    }
}

TEST_F(SummaryCalculation, NonFiniteResultsAreAFailure)
{
    SetUpWorkedExample();
    measurer.widthOverride = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(Calculate());
    EXPECT_EQ(cc.Description(), kSymbolsNotCreated);

    cc.Clear();
    measurer.widthOverride.reset();
    list.formatIndex = 3;
    settings.formats[3].BasePointX = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(Calculate());
    EXPECT_EQ(cc.Description(), kSymbolsNotCreated);
}

TEST(MeasuringSurface, KeepsTheLastFontAndRefusesUnknownOnes)
{
    testing_support::FixedMetricMeasurer measurer;
    measurer.referencePoints = 10;
    symbols::MeasuringSurface surface(measurer);
    EXPECT_EQ(surface.FontName(), L"Arial");
    EXPECT_EQ(surface.FontSize(), 14.25);

    surface.SetFont(L"Courier New", 20);
    EXPECT_THROW(surface.SetFont(L"Nonexistent Sans", 10), symbols::FontError);
    EXPECT_THROW(surface.SetFont(L"Arial", 0), symbols::FontError);
    EXPECT_EQ(surface.FontName(), L"Courier New");
    EXPECT_EQ(surface.FontSize(), 20);
    EXPECT_NEAR(surface.WidthMillimetres(L"abc"), 6.0, kTol);
    EXPECT_EQ(measurer.currentFamily, L"Courier New");
}

// The font check takes a height of 0 from a drawing that reports it.
TEST_F(SummaryCalculation, SymbolFontHeightZeroFromTheDrawingGivesZeroGaps)
{
    settings.symbolFontName = L"Times New Roman";
    settings.symbolFontHeight = 0;
    SetUpWorkedExample();

    // The named font cannot be applied at 0 points, so the calculation stops, but the gaps are set.
    EXPECT_FALSE(Calculate());
    EXPECT_EQ(layout.symbolGap, 0);
    EXPECT_EQ(layout.leadGap, 0);
    EXPECT_EQ(layout.padGap, 0);

    // Measured in the surface's own font ("-"), the row is laid out without any gaps.
    cc.Clear();
    settings.symbolFontName = L"-";
    ASSERT_TRUE(Calculate());
    EXPECT_EQ(layout.symbolGap, 0);
    EXPECT_NEAR(Record(0).X, 0.1, kTol);
    EXPECT_NEAR(Record(1).X, 0.1 + 0.0112 + 0.002, kTol);
    EXPECT_NEAR(layout.rowWidth, 0.0112 + 0.0112 + 0.004, kTol);
}

} // namespace
