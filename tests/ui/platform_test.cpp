#include "ui/platform.h"

#include "tests/support/fake_platform.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace
{

TEST(GetUser, TrimsAndUpperCasesTheLoginName)
{
    struct Case
    {
        std::optional<std::wstring> login;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {L"station7", L"STATION7"},
        {L"  m\u00fcller  ", L"M\u00dcLLER"},
        {L"Stra\u00dfer", L"STRA\u00dfER"},
        {L"", L""},
        {L"   ", L""},
        {std::nullopt, L""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.login ? ui::ToUtf8(*c.login) : std::string("(no name)"));
        testing_support::FakePlatform platform;
        platform.loginName = c.login;
        EXPECT_EQ(ui::GetUser(platform), c.expected);
    }
}

TEST(SetTopMost, HandsTheHandleToThePlatform)
{
    testing_support::FakePlatform platform;
    ui::SetTopMost(platform, 0x1234);
    ui::SetTopMost(platform, 0);
    const std::vector<std::intptr_t> expected = {0x1234, 0};
    EXPECT_EQ(platform.topMostHandles, expected);
}

} // namespace
