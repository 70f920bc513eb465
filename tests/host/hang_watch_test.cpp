#include "host/hang_watch.h"

#include "tests/support/scripted_hang_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace std::chrono_literals;
using Answer = host::HangWatch::Answer;

TEST(HangSupervisor, AsksAfterTheLimitAndFollowsTheAnswer)
{
    struct Step
    {
        std::chrono::milliseconds at; ///< since the call started
        Answer answer;                ///< given before this tick
        bool cancel;                  ///< what the tick says
    };
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
        bool returns; ///< the call returns after the steps
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"returns in time", {{1900ms, Answer::None, false}}, true, {}},
        {"returns while asked",
         {{2000ms, Answer::None, false}, {2500ms, Answer::None, false}},
         true,
         {"ask", "withdraw"}},
        {"wait gives another period",
         {{2000ms, Answer::None, false},
          {2500ms, Answer::Wait, false},
          {4400ms, Answer::None, false},
          {4500ms, Answer::None, false}},
         false,
         {"ask", "withdraw", "ask"}},
        {"cancel, then given up when the runtime does not end the call",
         {{2000ms, Answer::None, false},
          {2200ms, Answer::Cancel, true},
          {3100ms, Answer::None, true},
          {3200ms, Answer::None, true},
          {3400ms, Answer::None, true}},
         false,
         {"ask", "withdraw", "abandon"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        testing_support::ScriptedHangWatch watch;
        host::HangSupervisor supervisor(watch, 2);
        const host::HangSupervisor::Clock::time_point start{};
        supervisor.CallStarted(start);
        for (const Step& step : c.steps)
        {
            if (step.answer != Answer::None)
                watch.answer = step.answer;
            EXPECT_EQ(supervisor.Tick(start + step.at), step.cancel) << step.at.count() << " ms";
        }
        if (c.returns)
            supervisor.CallEnded();
        EXPECT_EQ(watch.log, c.log);
    }
}

} // namespace
