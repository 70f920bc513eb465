#include "drawing/font_check.h"

#include "tests/drawing/drawing_test_support.h"
#include "tests/support/fake_text_formats.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using drawing_tests::WorkHarness;

/// A font check on a drawing whose text format 5 is "Times New Roman" 12 pt and format 0 "Courier New"
/// 9 pt; the measurer knows Arial, Times New Roman and Courier New.
struct FontCheck : ::testing::Test
{
    FontCheck()
    {
        drawingDoc->textFormats[5] = std::make_shared<testing_support::FakeTextFormat>(L"Times New Roman", 12);
        drawingDoc->textFormats[0] = std::make_shared<testing_support::FakeTextFormat>(L"Courier New", 9);
        h.Attach(nullptr, drawingDoc);
    }

    void Fonts(const std::wstring& symbolName, std::int32_t symbolHeight, const std::wstring& bracketName,
               std::int32_t bracketHeight)
    {
        h.settings.symbolFontName = symbolName;
        h.settings.symbolFontHeight = symbolHeight;
        h.settings.bracketFontName = bracketName;
        h.settings.bracketFontHeight = bracketHeight;
    }

    std::shared_ptr<testing_support::FakeTextFormatDrawing> drawingDoc =
        std::make_shared<testing_support::FakeTextFormatDrawing>();
    WorkHarness h;
};

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

TEST_F(FontCheck, FallsBackToTheDrawingsTextFormats)
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
        h.cc.Clear();
        Fonts(c.symbolName, c.symbolHeight, c.bracketName, c.bracketHeight);

        drawing::CheckFonts(h.work);

        const config::Settings& s = h.settings;
        EXPECT_EQ(s.symbolFontName, c.expectedSymbolName);
        EXPECT_EQ(s.symbolFontHeight, c.expectedSymbolHeight);
        EXPECT_EQ(s.bracketFontName, c.expectedBracketName);
        EXPECT_EQ(s.bracketFontHeight, c.expectedBracketHeight);
        EXPECT_EQ(h.cc.Description(), c.message ? drawing::kTextFontsNotFound : L"");
    }

    // A drawing that reports a height of 0 passes it on.
    drawingDoc->textFormats[5]->heightPts = 0;
    Fonts(L"", 0, L"Arial", 10);
    drawing::CheckFonts(h.work);
    EXPECT_EQ(h.settings.symbolFontHeight, 0);
}

TEST_F(FontCheck, AsksTheRightFormatsAndShowsNothingItself)
{
    Fonts(L"Nonexistent", 0, L"Unknown", 0);
    h.cc.eNoDoc(); // CheckFonts records its message whatever was pending

    drawing::CheckFonts(h.work);

    EXPECT_EQ(drawingDoc->textFormatRequests, (std::vector<std::int16_t>{5, 0}));
    EXPECT_EQ(h.cc.Description(), drawing::kTextFontsNotFound);
    EXPECT_TRUE(h.window.shown.empty());
}

TEST_F(FontCheck, ToleratesEveryFailingStep)
{
    Fonts(L"Nonexistent", 0, L"Unknown", 0);
    drawingDoc->textFormats[5]->failTypeFace = true; // the height still comes through
    drawingDoc->textFormats[0]->failHeight = true;   // the name still comes through

    EXPECT_NO_THROW(drawing::CheckFonts(h.work));

    EXPECT_EQ(h.settings.symbolFontName, L"Nonexistent");
    EXPECT_EQ(h.settings.symbolFontHeight, 12);
    EXPECT_EQ(h.settings.bracketFontName, L"Courier New");
    EXPECT_EQ(h.settings.bracketFontHeight, 0);
    EXPECT_EQ(h.cc.Description(), drawing::kTextFontsNotFound);

    h.cc.Clear();
    drawingDoc->failTextFormat = true;
    h.settings.symbolFontName = L"";
    EXPECT_NO_THROW(drawing::CheckFonts(h.work));
    EXPECT_EQ(h.settings.symbolFontName, L"");
    EXPECT_EQ(h.cc.Description(), drawing::kTextFontsNotFound); // the bracket font is still named and missing

    h.cc.Clear();
    h.swAcc.Drawing = nullptr;
    EXPECT_NO_THROW(drawing::CheckFonts(h.work));
    EXPECT_EQ(h.settings.bracketFontName, L"Courier New");
}

} // namespace
