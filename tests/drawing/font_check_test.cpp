#include "drawing/font_check.h"

#include "tests/drawing/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using drawing_tests::Json;
using drawing_tests::SimRun;
using testing_support::Fault;

constexpr double kPoint = 0.0254 / 72; // metres

/// A drawing whose text format 5 is "Times New Roman" 12 pt (symbolPoints) and format 0 "Courier New" 9 pt;
/// the measurer knows Arial, Times New Roman and Courier New.
Json Drawing(const std::vector<Json>& faults = {}, double symbolPoints = 12)
{
    Json session = testing_support::SessionJson({testing_support::SheetJson("Blatt1", {})});
    session["documents"][0]["textFormats"] = {
        {"5", {{"typeFaceName", "Times New Roman"}, {"charHeight", symbolPoints * kPoint}}},
        {"0", {{"typeFaceName", "Courier New"}, {"charHeight", 9 * kPoint}}}};
    return testing_support::WithFaults(session, faults);
}

void Fonts(SimRun& r, const std::wstring& symbolName, std::int32_t symbolHeight, const std::wstring& bracketName,
           std::int32_t bracketHeight)
{
    r.settings.symbolFontName = symbolName;
    r.settings.symbolFontHeight = symbolHeight;
    r.settings.bracketFontName = bracketName;
    r.settings.bracketFontHeight = bracketHeight;
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

TEST(CheckFonts, FallsBackToTheDrawingsTextFormats)
{
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
        SimRun r(Drawing());
        Fonts(r, c.symbolName, c.symbolHeight, c.bracketName, c.bracketHeight);

        drawing::CheckFonts(r.work);

        const config::Settings& s = r.settings;
        EXPECT_EQ(s.symbolFontName, c.expectedSymbolName);
        EXPECT_EQ(s.symbolFontHeight, c.expectedSymbolHeight);
        EXPECT_EQ(s.bracketFontName, c.expectedBracketName);
        EXPECT_EQ(s.bracketFontHeight, c.expectedBracketHeight);
        EXPECT_EQ(r.cc.Description(), c.message ? drawing::kTextFontsNotFound : L"");
    }

    // A drawing that reports a height of 0 passes it on.
    SimRun zero(Drawing({}, 0));
    Fonts(zero, L"", 0, L"Arial", 10);
    drawing::CheckFonts(zero.work);
    EXPECT_EQ(zero.settings.symbolFontHeight, 0);
}

TEST(CheckFonts, ReplacesAPendingMessageAndShowsNothingItself)
{
    SimRun r(Drawing());
    Fonts(r, L"Nonexistent", 0, L"Unknown", 0);
    r.cc.eNoDoc();

    drawing::CheckFonts(r.work);

    EXPECT_EQ(r.Calls("GetUserPreferenceTextFormat"), 2);
    EXPECT_EQ(r.cc.Description(), drawing::kTextFontsNotFound);
    EXPECT_TRUE(r.window.shown.empty());
}

TEST(CheckFonts, ToleratesEveryFailingStep)
{
    // Format 5's name and format 0's height fail; the other value of each still comes through.
    SimRun r(Drawing({Fault("TypeFaceName", 1), Fault("CharHeightInPts", 2)}));
    Fonts(r, L"Nonexistent", 0, L"Unknown", 0);
    EXPECT_NO_THROW(drawing::CheckFonts(r.work));
    EXPECT_EQ(r.settings.symbolFontName, L"Nonexistent");
    EXPECT_EQ(r.settings.symbolFontHeight, 12);
    EXPECT_EQ(r.settings.bracketFontName, L"Courier New");
    EXPECT_EQ(r.settings.bracketFontHeight, 0);
    EXPECT_EQ(r.cc.Description(), drawing::kTextFontsNotFound);

    // No text format at all: the bracket font is still named and missing.
    SimRun gone(Drawing({Fault("GetUserPreferenceTextFormat", 1), Fault("GetUserPreferenceTextFormat", 2)}));
    Fonts(gone, L"", 12, L"Courier New", 0);
    EXPECT_NO_THROW(drawing::CheckFonts(gone.work));
    EXPECT_EQ(gone.settings.symbolFontName, L"");
    EXPECT_EQ(gone.cc.Description(), drawing::kTextFontsNotFound);

    SimRun noDrawing(Drawing());
    Fonts(noDrawing, L"", 12, L"Courier New", 0);
    noDrawing.swAcc.Drawing = nullptr;
    EXPECT_NO_THROW(drawing::CheckFonts(noDrawing.work));
    EXPECT_EQ(noDrawing.settings.bracketFontName, L"Courier New");
}

} // namespace
