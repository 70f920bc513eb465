#include "app/init_dialog.h"

#include <gtest/gtest.h>

namespace
{

std::vector<std::wstring> Items(std::initializer_list<const wchar_t*> items)
{
    return {items.begin(), items.end()};
}

/// Settings as LoadSettings leaves them for the standard configuration of the harness.
void StandardSettings(config::Settings& s)
{
    s.standardType = 1;
    s.roughCount = 4;
    s.roughList[0] = L"0,8";
    s.roughList[1] = L"1,6";
    s.roughList[2] = L"3,2";
    s.roughList[3] = L"6,3";
    s.roughStandard = 2;
    s.roughName = L"Ra";
    s.methodeCount = 2;
    s.methodeList[0] = L"gefr\u00e4st";
    s.methodeList[1] = L"gedreht";
    s.methodeStandard = 1;
    s.normFixEnabled = true;
}

/// The dialog's state filled from the settings and the summary record, as a scan left them.
class InitDialogTest : public ::testing::Test
{
protected:
    InitDialogTest() { StandardSettings(settings); }

    const app::MainDialogState& Init()
    {
        app::InitDialog(settings, summary, state);
        return state;
    }

    symbols::sfsObject& Summary() { return summary; }

    config::Settings settings;
    symbols::sfsObject summary;
    app::MainDialogState state;
};

TEST_F(InitDialogTest, FirstRunProposesTheConfiguredStandards)
{
    Init();

    EXPECT_EQ(state.stdSFSSymbol.items, Items({L"Grundlegend", L"Spanend", L"Roh"}));
    EXPECT_EQ(state.stdSFSSymbol.listIndex, 1);
    EXPECT_EQ(state.stdSFSSymbol.text, L"Spanend");
    EXPECT_EQ(state.stdSFSRough.items, Items({L"0,8", L"1,6", L"3,2", L"6,3"}));
    EXPECT_EQ(state.stdSFSRough.text, L"3,2");
    EXPECT_EQ(state.label3Caption, L"Rauheit (Ra)");
    EXPECT_EQ(state.stdSFSMet.items, Items({L"gefr\u00e4st", L"gedreht"}));
    EXPECT_EQ(state.stdSFSMet.text, L"gedreht");
    // The summary record carries the proposal as well.
    EXPECT_EQ(Summary().maxRoughStr, L"3,2");
    EXPECT_EQ(Summary().maxRoughName, L"Ra");
    EXPECT_EQ(Summary().methodeStr, L"gedreht");
    EXPECT_EQ(Summary().sfsType, 1);
}

TEST_F(InitDialogTest, SecondRunProposesTheEarlierSummaryEvenWhenItsValueIsNoLongerConfigured)
{
    Summary().Name = L"glmSymbol99";
    Summary().sfsType = 2;
    Summary().maxRoughStr = L"12,5";
    Summary().maxRoughName = L"";
    Summary().methodeStr = L"poliert";

    Init();

    EXPECT_EQ(state.stdSFSSymbol.text, L"Roh");
    EXPECT_EQ(state.stdSFSSymbol.listIndex, 2);
    EXPECT_EQ(state.stdSFSRough.text, L"12,5");
    EXPECT_EQ(state.stdSFSRough.listIndex, -1);
    EXPECT_EQ(state.stdSFSMet.text, L"poliert");
    EXPECT_EQ(Summary().maxRoughName, L"");
}

TEST_F(InitDialogTest, EmptyListsStillShowTheProposedValues)
{
    settings.roughCount = 0;
    settings.methodeCount = 0;
    Summary().Name = L"glmSymbol99";
    Summary().sfsType = 1;
    Summary().maxRoughStr = L"6,3";
    Summary().methodeStr = L"gefr\u00e4st";

    Init();

    EXPECT_TRUE(state.stdSFSRough.items.empty());
    EXPECT_EQ(state.stdSFSRough.text, L"6,3");
    EXPECT_TRUE(state.stdSFSMet.items.empty());
    EXPECT_EQ(state.stdSFSMet.text, L"gefr\u00e4st");
}

TEST_F(InitDialogTest, RoughnessNameAppearsInTheLabel)
{
    settings.roughName = L"Rz";
    EXPECT_EQ(Init().label3Caption, L"Rauheit (Rz)");
    EXPECT_EQ(Summary().maxRoughName, L"Rz");
}

TEST_F(InitDialogTest, NormFixBoxFollowsEnabledAndLocked)
{
    struct Case
    {
        bool enabled;
        bool locked;
        bool visible;
        bool changeable;
    };
    const Case cases[] = {
        {true, false, true, true},   // no super-user list, or a listed user
        {true, true, true, false},   // a user the super-user list does not name
        {false, true, false, false}, // Normfix off: hidden
        {false, false, false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "enabled " << c.enabled << ", locked " << c.locked);
        settings.normFixEnabled = c.enabled;
        settings.normFixLocked = c.locked;
        const auto& box = Init().cbNormFix;
        EXPECT_EQ(box.visible, c.visible);
        EXPECT_EQ(box.enabled, c.changeable);
        EXPECT_EQ(box.value, 1);
    }
}

TEST_F(InitDialogTest, KindThatCannotBeShownIsReplaced)
{
    struct Case
    {
        const char* what;
        bool earlierSummary;
        std::int32_t summaryKind;
        std::int32_t standardType;
        std::int32_t shownKind;
    };
    const Case cases[] = {
        {"earlier summary of another host kind, valid standard", true, 5, 0, 0},
        {"earlier summary of another host kind, invalid standard", true, 4, 9, 1},
        {"standard kind too large", false, 0, 3, 1},
        {"standard kind negative", false, 0, -1, 1},
        {"standard kind Roh", false, 0, 2, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        settings.standardType = c.standardType;
        summary = {};
        if (c.earlierSummary)
            summary.Name = L"glmSymbol99";
        summary.sfsType = c.summaryKind;

        Init();

        EXPECT_EQ(state.stdSFSSymbol.listIndex, c.shownKind);
        EXPECT_EQ(state.stdSFSSymbol.text, app::kKindNames[static_cast<std::size_t>(c.shownKind)]);
        EXPECT_EQ(summary.sfsType, c.shownKind);
    }
}

TEST_F(InitDialogTest, StandardIndexOutsideTheListProposesAnEmptyText)
{
    struct Case
    {
        std::int32_t roughStandard;
        std::int32_t methodeStandard;
        const wchar_t* rough;
        const wchar_t* methode;
    };
    const Case cases[] = {
        {0, 0, L"0,8", L"gefr\u00e4st"},
        {3, 1, L"6,3", L"gedreht"},
        {4, 2, L"", L""},   // one past the configured count
        {-1, -1, L"", L""}, // "Standard" 0 in the file
        {21, 20, L"", L""}, // beyond the list's capacity
        {-100, 5000, L"", L""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.roughStandard << " / " << c.methodeStandard);
        settings.roughStandard = c.roughStandard;
        settings.methodeStandard = c.methodeStandard;
        summary = {};
        Init();
        EXPECT_EQ(state.stdSFSRough.text, c.rough);
        EXPECT_EQ(state.stdSFSMet.text, c.methode);
    }
}

TEST_F(InitDialogTest, CountsBeyondTheCapacityFillOnlyTheCapacity)
{
    settings.roughCount = 40;
    settings.methodeCount = -3;
    Init();
    EXPECT_EQ(state.stdSFSRough.items.size(), 21u);
    EXPECT_TRUE(state.stdSFSMet.items.empty());
}

} // namespace
