#include "symbols/summary_calculation.h"

#include "app/run.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_text_formats.h"
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

constexpr const wchar_t* kFontsNotFound = L"Schriftart(en) nicht gefunden, bitte die Konfiguration pr\u00fcfen !";
constexpr const wchar_t* kSymbolsNotCreated = L"Fehler bei der Symbolerstellung! Konfiguration pr\u00fcfen !";
constexpr double kTol = 1e-9;

// Neither is reached by the calculation; they only complete the run's ports.
class UnusedProfileStore : public config::ProfileStore
{
public:
    std::int32_t GetString(const std::wstring&, const std::wstring&, const std::optional<std::wstring>&,
                           std::wstring& returned, std::int32_t, const std::wstring&) override
    {
        returned.clear();
        return 0;
    }
    std::vector<std::wstring> GetKeyNames(const std::wstring&, const std::wstring&) override { return {}; }
    bool WriteString(const std::wstring&, const std::optional<std::wstring>&, const std::optional<std::wstring>&,
                     const std::wstring&) override
    {
        return false;
    }
};

class NoSession : public host::SessionConnector
{
public:
    host::ApplicationPtr GetActiveObject(const std::wstring&) override { return nullptr; }
};

// Widths in millimetres: every character 1 mm, "(" 2 mm, whatever the font and size.
class SummaryCalculation : public ::testing::Test
{
protected:
    SummaryCalculation()
        : ports{window, messageBox, platform, measurer, profiles, connector}, run(ports, L"glattmark.ini")
    {
        measurer.charWidths[L'('] = 2.0;
        run.swAcc = std::make_unique<host::swAccess>(run.cc, connector);
        run.swAcc->Drawing = drawing;
        drawing->textFormats[5] = std::make_shared<testing_support::FakeTextFormat>(L"Times New Roman", 12);
        drawing->textFormats[0] = std::make_shared<testing_support::FakeTextFormat>(L"Courier New", 9);

        config::Settings& s = run.settings;
        s.symbolFontName = L"Arial";
        s.symbolFontHeight = 14;
        s.bracketFontName = L"Arial";
        s.bracketFontHeight = 10;
        s.bracketBase = 0.001;
        run.list.formatIndex = -1;
    }

    // Roughness name 4 mm, value 6 mm: the records of the worked example.
    void SetUpWorkedExample()
    {
        for (std::size_t i = 0; i <= 1; ++i)
        {
            run.list.sfsList[i].maxRoughName = L"abcd";
            run.list.sfsList[i].maxRoughStr = L"123456";
        }
        run.list.sfsCount = 1;
    }

    symbols::sfsObject& Record(std::size_t i) { return run.list.sfsList[i]; }

    testing_support::RecordingMessageWindow window;
    testing_support::RecordingMessageBox messageBox;
    testing_support::FakePlatform platform;
    testing_support::FixedMetricMeasurer measurer;
    UnusedProfileStore profiles;
    NoSession connector;
    std::shared_ptr<testing_support::FakeTextFormatDrawing> drawing =
        std::make_shared<testing_support::FakeTextFormatDrawing>();
    app::Ports ports;
    app::Run run;
};

TEST_F(SummaryCalculation, WorkedExampleRowBeginsAtTheBasePoint)
{
    SetUpWorkedExample();

    ASSERT_TRUE(symbols::CalculateSummary(run));

    const symbols::LayoutResults& layout = run.layout;
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
    EXPECT_TRUE(run.cc.NoErr());
    // The surface is left holding the symbol font.
    EXPECT_EQ(run.txtCalc.FontName(), L"Arial");
    EXPECT_EQ(run.txtCalc.FontSize(), 14);
}

TEST_F(SummaryCalculation, WorkedExampleRowEndsAtTheBasePointWithHAlign1)
{
    SetUpWorkedExample();
    run.settings.hAlign = 1;

    ASSERT_TRUE(symbols::CalculateSummary(run));

    EXPECT_NEAR(run.layout.alignShift, -0.0485, kTol);
    EXPECT_NEAR(Record(0).X, 0.0553, kTol);
    EXPECT_NEAR(Record(1).X, 0.0806, kTol);
    EXPECT_NEAR(run.layout.lBracketPos.first, 0.0748, kTol);
    EXPECT_NEAR(run.layout.rBracketPos.first, 0.098, kTol);
    EXPECT_NEAR(run.layout.rBracketPos.first, run.layout.basePoint.first - run.layout.bracketWidth, kTol);
}

TEST_F(SummaryCalculation, OtherAlignmentValuesBeginTheRowAtTheBasePoint)
{
    for (const std::int32_t hAlign : {0, 2, -1, 7})
    {
        SCOPED_TRACE(hAlign);
        SetUpWorkedExample();
        run.settings.hAlign = hAlign;
        ASSERT_TRUE(symbols::CalculateSummary(run));
        EXPECT_NEAR(Record(0).X, 0.1038, kTol);
        EXPECT_NEAR(run.layout.alignShift, 0, kTol);
    }
}

// Offsets, limits, tolerance, lay mark and the kind-2 summary without blanks, on a configured format.
TEST_F(SummaryCalculation, TwoListedSymbolsWithOffsetsAndALayMark)
{
    run.settings.formats[0].BasePointX = 0.2;
    run.settings.formats[0].BasePointY = 0.05;
    run.list.formatIndex = 0;
    run.list.sfsCount = 2;
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

    ASSERT_TRUE(symbols::CalculateSummary(run));

    EXPECT_NEAR(Record(0).xOffset, 0, kTol);
    EXPECT_NEAR(Record(0).xWidth, 0.0021, kTol);
    EXPECT_NEAR(Record(1).xOffset, 0.004, kTol);  // 0.8 * 2 + 0.8 * 3
    EXPECT_NEAR(Record(1).xWidth, 0.0084, kTol);  // 0.2 * 3 + (2 + 0.7 * 3 + 3) + 0.35 * 2
    EXPECT_NEAR(Record(2).xOffset, 0.0032, kTol); // 0.8 * 4
    EXPECT_NEAR(Record(2).xWidth, 0.0058, kTol);  // 0.2 * 4 + (1 + 4 blanks)
    // 12.1 + (1.08 * 4 + 8.4 + 12.1 + 4) + (1.08 * 3.2 + 5.8 + 12.1) mm
    EXPECT_NEAR(run.layout.rowWidth, 0.062276, kTol);
    EXPECT_NEAR(Record(0).X, 0.2038, kTol);
    EXPECT_NEAR(Record(1).X, 0.224, kTol);
    EXPECT_NEAR(Record(2).X, 0.2477, kTol);
    EXPECT_NEAR(Record(2).y, 0.05, kTol);
    EXPECT_NEAR(run.layout.lBracketPos.first, 0.2142, kTol);
    EXPECT_NEAR(run.layout.lBracketPos.first,
                Record(1).X - run.layout.leadGap - run.layout.bracketWidth - Record(1).xOffset, kTol);
    EXPECT_NEAR(run.layout.rBracketPos.first, 0.260276, kTol);
}

TEST_F(SummaryCalculation, SummaryAloneStillPlacesTheBrackets)
{
    Record(0).maxRoughName = L"Ra";
    Record(0).maxRoughStr = L"3,2";
    Record(1).maxRoughStr = L"left over from a longer list";
    run.list.sfsCount = 0;

    ASSERT_TRUE(symbols::CalculateSummary(run));

    const double xWidth0 = 0.002 + 0.0021 + 0.003; // name + 0.7 * value + three blanks
    EXPECT_NEAR(Record(0).xWidth, xWidth0, kTol);
    EXPECT_NEAR(run.layout.rowWidth, 0.01 + xWidth0, kTol);
    EXPECT_NEAR(run.layout.lBracketPos.first, 0.1 + xWidth0 + 0.01 + 0.0021, kTol);
    EXPECT_NEAR(run.layout.rBracketPos.first, 0.1 + 0.01 + xWidth0 - 0.002, kTol);
    EXPECT_NEAR(Record(1).xWidth, 0, kTol); // records beyond the list are not touched
    EXPECT_NEAR(Record(1).X, 0, kTol);
}

TEST_F(SummaryCalculation, EmptyRecordsTakeNoRoomAndEmptyTextsAreNotMeasured)
{
    run.list.sfsCount = 2;
    Record(1).xOffset = 7; // stale values are recomputed
    Record(1).xWidth = 7;

    ASSERT_TRUE(symbols::CalculateSummary(run));

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
    run.settings.symbolFontName = L"-";
    run.settings.bracketFontName = L"-";
    SetUpWorkedExample();
    std::vector<symbols::Measurement> log;
    run.txtCalc.AttachLog(&log);

    ASSERT_TRUE(symbols::CalculateSummary(run));

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
    run.settings.bracketFontName = L"Courier New";
    Record(0).maxRoughName = L"Ra";
    Record(0).maxRoughStr = L"6,3";
    std::vector<symbols::Measurement> log;
    run.txtCalc.AttachLog(&log);

    ASSERT_TRUE(symbols::CalculateSummary(run));

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

    ASSERT_TRUE(symbols::CalculateSummary(run));

    const std::vector<std::wstring> expected = {L"(",   L"max", L"min",     L"tol", L"Ra",
                                                L"6,3", L"   ", L"gedreht", L"sp",  L"    "};
    EXPECT_EQ(measurer.measuredTexts, expected);
}

TEST_F(SummaryCalculation, FontThatCannotBeAppliedEndsTheCalculationWithOneMessage)
{
    SetUpWorkedExample();
    run.settings.bracketFontName = L"Nonexistent Sans";

    EXPECT_FALSE(symbols::CalculateSummary(run));

    EXPECT_TRUE(run.layout.calculated);
    EXPECT_EQ(run.cc.Description(), kSymbolsNotCreated);
    EXPECT_NEAR(run.layout.symbolGap, 0.01, kTol); // what was computed before the failure stays
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
        run.cc.Clear();
        run.list.sfsCount = c.sfsCount;
        run.list.formatIndex = c.formatIndex;
        EXPECT_FALSE(symbols::CalculateSummary(run));
        EXPECT_EQ(run.cc.Description(), kSymbolsNotCreated);
    }
}

TEST_F(SummaryCalculation, NonFiniteResultsAreAFailure)
{
    SetUpWorkedExample();
    measurer.widthOverride = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(symbols::CalculateSummary(run));
    EXPECT_EQ(run.cc.Description(), kSymbolsNotCreated);

    run.cc.Clear();
    measurer.widthOverride.reset();
    run.list.formatIndex = 3;
    run.settings.formats[3].BasePointX = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(symbols::CalculateSummary(run));
    EXPECT_EQ(run.cc.Description(), kSymbolsNotCreated);
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

// The fonts as CheckFonts should leave them, and whether it reports missing fonts.
struct FontCase
{
    const char* what;
    std::wstring symbolName;
    std::int32_t symbolHeight;
    std::wstring bracketName;
    std::int32_t bracketHeight;
    std::wstring expectedSymbolName;
    std::int32_t expectedSymbolHeight;
    std::wstring expectedBracketName;
    std::int32_t expectedBracketHeight;
    bool message;
};

TEST_F(SummaryCalculation, CheckFontsFallsBackToTheDrawingsTextFormats)
{
    // The drawing: format 5 "Times New Roman" 12 pt, format 0 "Courier New" 9 pt.
    const std::vector<FontCase> cases = {
        {"both usable", L"Arial", 14, L"Arial", 10, L"Arial", 14, L"Arial", 10, false},
        {"symbol font unknown", L"Nonexistent", 0, L"Arial", 10, L"Times New Roman", 12, L"Arial", 10, true},
        {"configured height kept", L"Nonexistent", 16, L"Arial", 10, L"Times New Roman", 16, L"Arial", 10, true},
        {"empty names silently", L"", 0, L"", 11, L"Times New Roman", 12, L"Courier New", 11, false},
        {"unknown and empty", L"Nonexistent", 14, L"", 0, L"Times New Roman", 14, L"Courier New", 9, true},
        {"both unknown", L"Nonexistent", 0, L"Unknown", 0, L"Times New Roman", 12, L"Courier New", 9, true},
        {"dash is left alone", L"-", 0, L"-", 0, L"-", 0, L"-", 0, false},
        // A usable name with height 0 cannot be applied: the measurer refuses a size of 0.
        {"height 0 not applicable", L"Arial", 0, L"Arial", 10, L"Times New Roman", 12, L"Arial", 10, true},
    };
    for (const FontCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        run.cc.Clear();
        config::Settings& s = run.settings;
        s.symbolFontName = c.symbolName;
        s.symbolFontHeight = c.symbolHeight;
        s.bracketFontName = c.bracketName;
        s.bracketFontHeight = c.bracketHeight;

        symbols::CheckFonts(run);

        EXPECT_EQ(s.symbolFontName, c.expectedSymbolName);
        EXPECT_EQ(s.symbolFontHeight, c.expectedSymbolHeight);
        EXPECT_EQ(s.bracketFontName, c.expectedBracketName);
        EXPECT_EQ(s.bracketFontHeight, c.expectedBracketHeight);
        EXPECT_EQ(run.cc.Description(), c.message ? kFontsNotFound : L"");
    }
}

TEST_F(SummaryCalculation, CheckFontsAsksTheRightFormatsAndShowsNothingItself)
{
    run.settings.symbolFontName = L"Nonexistent";
    run.settings.bracketFontName = L"Unknown";
    run.cc.eNoDoc(); // CheckFonts records its message whatever was pending

    symbols::CheckFonts(run);

    EXPECT_EQ(drawing->textFormatRequests, (std::vector<std::int16_t>{5, 0}));
    EXPECT_EQ(run.cc.Description(), kFontsNotFound);
    EXPECT_TRUE(window.shown.empty());
}

TEST_F(SummaryCalculation, CheckFontsToleratesEveryFailingStep)
{
    run.settings.symbolFontName = L"Nonexistent";
    run.settings.symbolFontHeight = 0;
    run.settings.bracketFontName = L"Unknown";
    run.settings.bracketFontHeight = 0;
    drawing->textFormats[5]->failTypeFace = true; // the height still comes through
    drawing->textFormats[0]->failHeight = true;   // the name still comes through

    EXPECT_NO_THROW(symbols::CheckFonts(run));

    EXPECT_EQ(run.settings.symbolFontName, L"Nonexistent");
    EXPECT_EQ(run.settings.symbolFontHeight, 12);
    EXPECT_EQ(run.settings.bracketFontName, L"Courier New");
    EXPECT_EQ(run.settings.bracketFontHeight, 0);
    EXPECT_EQ(run.cc.Description(), kFontsNotFound);

    run.cc.Clear();
    drawing->failTextFormat = true;
    run.settings.symbolFontName = L"";
    EXPECT_NO_THROW(symbols::CheckFonts(run));
    EXPECT_EQ(run.settings.symbolFontName, L"");
    EXPECT_EQ(run.cc.Description(), kFontsNotFound); // the bracket font is still named and missing

    run.cc.Clear();
    run.swAcc->Drawing = nullptr;
    EXPECT_NO_THROW(symbols::CheckFonts(run));
    run.swAcc.reset();
    EXPECT_NO_THROW(symbols::CheckFonts(run));
    EXPECT_EQ(run.settings.bracketFontName, L"Courier New");
}

TEST_F(SummaryCalculation, SymbolFontHeightZeroFromTheDrawingGivesZeroGaps)
{
    drawing->textFormats[5]->heightPts = 0;
    run.settings.symbolFontName = L"";
    run.settings.symbolFontHeight = 0;
    symbols::CheckFonts(run);
    ASSERT_EQ(run.settings.symbolFontHeight, 0);
    SetUpWorkedExample();

    // The named font cannot be applied at 0 points, so the calculation stops, but the gaps are set.
    EXPECT_FALSE(symbols::CalculateSummary(run));
    EXPECT_EQ(run.layout.symbolGap, 0);
    EXPECT_EQ(run.layout.leadGap, 0);
    EXPECT_EQ(run.layout.padGap, 0);

    // Measured in the surface's own font ("-"), the row is laid out without any gaps.
    run.cc.Clear();
    run.settings.symbolFontName = L"-";
    ASSERT_TRUE(symbols::CalculateSummary(run));
    EXPECT_EQ(run.layout.symbolGap, 0);
    EXPECT_NEAR(Record(0).X, 0.1, kTol);
    EXPECT_NEAR(Record(1).X, 0.1 + 0.0112 + 0.002, kTol);
    EXPECT_NEAR(run.layout.rowWidth, 0.0112 + 0.0112 + 0.004, kTol);
}

} // namespace
