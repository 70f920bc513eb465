// Double of the hang question: records what was asked and withdrawn, and answers as told.
#pragma once

#include "host/hang_watch.h"

#include <string>
#include <vector>

namespace testing_support
{

class ScriptedHangWatch : public host::HangWatch
{
public:
    Answer answer = Answer::None; ///< what the user has answered since the last Ask
    std::vector<std::string> log; ///< "ask", "withdraw", "abandon", in order

    void Ask() override
    {
        log.push_back("ask");
        answer = Answer::None;
    }
    Answer Answered() override { return answer; }
    void Withdraw() override { log.push_back("withdraw"); }
    void Abandon() override { log.push_back("abandon"); }
};

} // namespace testing_support
