#include "host/busy_retry.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace
{

using namespace std::chrono_literals;
using host::Refusal;

/// A host that refuses a number of tries, with a clock that moves only by the pauses taken.
struct BusyHost
{
    host::BusyRetry Policy(std::int32_t limitSeconds)
    {
        host::BusyRetry policy([this] { return now; },
                               [this](std::chrono::milliseconds pause) {
                                   pauses.push_back(pause.count());
                                   now += pause;
                               });
        policy.SetLimit(limitSeconds);
        return policy;
    }
    host::BusyRetry::Attempt Attempt(Refusal refusal)
    {
        return [this, refusal]() -> std::optional<Refusal> {
            ++tries;
            if (refusing == 0)
                return std::nullopt;
            --refusing;
            return refusal;
        };
    }

    std::chrono::steady_clock::time_point now{};
    std::vector<long long> pauses;
    int refusing = 0;
    int tries = 0;
};

TEST(BusyRetry, RepeatsARefusedCallWithGrowingPausesWithinTheLimit)
{
    struct Case
    {
        const char* name;
        int refusing;
        Refusal refusal;
        std::int32_t limit;
        bool refusedInTheEnd;
        std::vector<long long> pauses; ///< milliseconds
    };
    const Case cases[] = {
        {"answered at once", 0, Refusal::RetryLater, 30, false, {}},
        {"busy for a moment", 3, Refusal::RetryLater, 30, false, {50, 100, 200}},
        {"pauses stop growing at a second", 7, Refusal::RetryLater, 30, false, {50, 100, 200, 400, 800, 1000, 1000}},
        {"the last pause ends at the limit", 100, Refusal::RetryLater, 1, true, {50, 100, 200, 400, 250}},
        {"limit 0 repeats nothing", 1, Refusal::RetryLater, 0, true, {}},
        {"rejected for good is never repeated", 1, Refusal::Rejected, 30, true, {}},
    };
    for (const Case& c : cases)
    {
        BusyHost hostState;
        hostState.refusing = c.refusing;
        host::BusyRetry policy = hostState.Policy(c.limit);
        const auto answer = policy.Run(hostState.Attempt(c.refusal));
        EXPECT_EQ(answer.has_value(), c.refusedInTheEnd) << c.name;
        EXPECT_EQ(hostState.pauses, c.pauses) << c.name;
        EXPECT_EQ(hostState.tries, static_cast<int>(c.pauses.size()) + 1) << c.name;
    }
}

TEST(BusyRetry, AfterGivingUpLaterCallsAreTriedOnceAndTheRuntimeIsToldToStop)
{
    BusyHost hostState;
    hostState.refusing = 1000;
    host::BusyRetry policy = hostState.Policy(2);
    EXPECT_EQ(policy.NextPause(0ms, Refusal::RetryLater), 50ms);
    EXPECT_EQ(policy.NextPause(700ms, Refusal::RetryLater), 700ms);
    EXPECT_EQ(policy.NextPause(1900ms, Refusal::RetryLater), 100ms);
    EXPECT_EQ(policy.NextPause(2000ms, Refusal::RetryLater), std::nullopt);
    EXPECT_EQ(policy.NextPause(0ms, Refusal::Rejected), std::nullopt);

    ASSERT_TRUE(policy.Run(hostState.Attempt(Refusal::RetryLater)));
    const int triesOfTheFirstCall = hostState.tries;
    ASSERT_TRUE(policy.Run(hostState.Attempt(Refusal::RetryLater)));
    EXPECT_EQ(hostState.tries, triesOfTheFirstCall + 1);
    EXPECT_EQ(policy.NextPause(0ms, Refusal::RetryLater), std::nullopt);
}

} // namespace
