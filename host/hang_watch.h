// A host that hangs in the middle of a call: after the hang limit the user is asked whether to wait.
//
// HangWatch is the port: the question on screen (a small window of the program's own on Windows). It never
// blocks: while the call is under way the runtime keeps dispatching messages, so the window answers its
// buttons by itself, and HangSupervisor looks at the answer each time the ticker ticks. Portable, so the
// timing is tested without a host and without time passing.
#pragma once

#include <chrono>
#include <cstdint>

namespace host
{

class HangWatch
{
public:
    enum class Answer
    {
        None,   ///< not answered yet
        Wait,   ///< "Warten": another period
        Cancel, ///< "Abbrechen": give the call up
    };

    HangWatch() = default;
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;
    virtual ~HangWatch() = default;

    /// Shows the question; returns at once.
    virtual void Ask() = 0;
    /// What the user answered since Ask.
    virtual Answer Answered() = 0;
    /// Takes the question away: the call returned, or the user answered.
    virtual void Withdraw() = 0;
    /// The user gave the call up and the runtime cannot end it: reports the host failure and ends the
    /// program. Returns only where a program can go on (a test double).
    virtual void Abandon() = 0;
};

/// The timing of one call at a time: when to ask, what an answer does.
class HangSupervisor
{
public:
    using Clock = std::chrono::steady_clock;
    /// How long a cancelled call may still take to end before the program gives it up for good.
    static constexpr std::chrono::milliseconds kCancelGrace{1000};

    /// limitSeconds > 0; watch must outlive the supervisor.
    HangSupervisor(HangWatch& watch, std::int32_t limitSeconds) : m_watch(watch), m_limit(limitSeconds) {}

    void CallStarted(Clock::time_point now);
    /// True when the call is to be cancelled.
    bool Tick(Clock::time_point now);
    void CallEnded();

private:
    HangWatch& m_watch;
    std::chrono::seconds m_limit;
    bool m_calling = false;
    bool m_asking = false;
    bool m_cancelled = false;
    bool m_abandoned = false;
    Clock::time_point m_periodStart{};
    Clock::time_point m_cancelledAt{};
};

} // namespace host
