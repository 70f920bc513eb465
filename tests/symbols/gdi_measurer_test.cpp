#include "symbols/text_measurer_gdi.h"

#include "tests/support/liberation_sans_widths.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace
{

TEST(GdiMeasurer, AgreesWithTheFreeTypeMeasurer)
{
    symbols::GdiMeasurer measurer;
    for (const auto& row : testing_support::kLiberationSansWidths)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.family) + L": " + row.text));
        ASSERT_TRUE(measurer.ApplyFont(row.family, row.points));
        EXPECT_NEAR(measurer.MeasureMillimetres(row.text), row.millimetres, 0.01);
    }
}

TEST(GdiMeasurer, RefusedFontKeepsThePreviousOne)
{
    symbols::GdiMeasurer measurer;
    EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), 0);
    ASSERT_TRUE(measurer.ApplyFont(L"Liberation Sans", 10));
    const double before = measurer.MeasureMillimetres(L"Ra 3,2");

    std::vector<testing_support::RefusedFont> refused(std::begin(testing_support::kRefusedFonts),
                                                      std::end(testing_support::kRefusedFonts));
    // Longer than a face name can be: GDI would cut it to a family that exists.
    refused.push_back({L"Liberation Sans Liberation Sans Liberation Sans", 14});
    for (const auto& c : refused)
    {
        SCOPED_TRACE(testing::PrintToString(c.family) + " at " + std::to_string(c.points));
        EXPECT_FALSE(measurer.ApplyFont(c.family, c.points));
        EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), before);
    }
}

TEST(GdiMeasurer, FamilyNamedByTheFontSubstitutesMeasuresAsTheFamilyItNames)
{
    // The system maps "MS Shell Dlg" to Tahoma.
    symbols::GdiMeasurer measurer;
    ASSERT_TRUE(measurer.ApplyFont(L"Tahoma", 8));
    const double tahoma = measurer.MeasureMillimetres(L"Ra 3,2");
    ASSERT_TRUE(measurer.ApplyFont(L"MS Shell Dlg", 8));
    EXPECT_EQ(measurer.MeasureMillimetres(L"Ra 3,2"), tahoma);
}

} // namespace
