#include "symbols/text_measurer_gdi.h"

#include "tests/support/liberation_sans_widths.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

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

    struct Case
    {
        std::wstring family;
        double points;
    };
    const Case refused[] = {
        {L"NoSuchFont Xyz", 14}, // GDI would hand out a substitute for it
        {L"", 14},
        {std::wstring(L"Arial\0Bold", 10), 14},
        {L"Liberation Sans Liberation Sans Liberation Sans", 14}, // longer than a face name can be
        {L"Liberation Sans", 0},
        {L"Liberation Sans", -3},
        {L"Liberation Sans", std::numeric_limits<double>::quiet_NaN()},
        {L"Liberation Sans", std::numeric_limits<double>::infinity()},
    };
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
