// How long the program keeps repeating a call that a busy host refused.
//
// A host that runs a command, shows one of its own dialogs, rebuilds or saves refuses incoming automation
// calls. A refused call has done nothing, so repeating it is safe. The pause between tries starts short and
// doubles, so that a host busy for a moment costs little and a host busy for long is not flooded. Portable:
// the clock and the pause are handed in, so tests run without time passing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace host
{

/// The limits of a run's host calls, from [main] BusyTimeout and HangTimeout; seconds, 0: none.
struct CallLimits
{
    std::int32_t busySeconds = 30; ///< how long refused calls are repeated; 0: not at all
    std::int32_t hangSeconds = 15; ///< how long one call may take before the user is asked; 0: for ever
};

/// How the host refused a call.
enum class Refusal
{
    RetryLater, ///< busy for now: worth repeating
    Rejected,   ///< refused for good: never repeated
};

class BusyRetry
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    /// Waits the given time; on Windows it keeps the program's windows painting meanwhile.
    using Pause = std::function<void(std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds kFirstPause{50};
    static constexpr std::chrono::milliseconds kLongestPause{1000};

    BusyRetry(Clock clock, Pause pause) : m_clock(std::move(clock)), m_pause(std::move(pause)) {}

    /// The busy limit in seconds; 0: a refused call is not repeated.
    void SetLimit(std::int32_t seconds) { m_limit = std::chrono::seconds(seconds < 0 ? 0 : seconds); }

    /// What one try of a call answered: the refusal, or nothing when the call went through (or failed for
    /// another reason).
    using Attempt = std::function<std::optional<Refusal>()>;

    /// Runs attempt until it is not refused and answers the last refusal, or nothing. Gives up when the
    /// refusal is Rejected or the busy limit has passed since the first try. Once a call has given up, the
    /// host is taken as busy for the rest of the run: later calls are tried once, never repeated, so that a
    /// run ending on a busy host does not wait the limit again for every call on its way out.
    std::optional<Refusal> Run(const Attempt& attempt);

    /// The pause before the next try of a call refused for waited so far, or nothing when it is time to give
    /// up: for a runtime that asks how long to wait (a message filter's RetryRejectedCall).
    std::optional<std::chrono::milliseconds> NextPause(std::chrono::milliseconds waited, Refusal refusal) const;

    /// Tries repeated so far.
    std::int64_t Retries() const { return m_retries; }

private:
    Clock m_clock;
    Pause m_pause;
    std::chrono::seconds m_limit{30};
    std::int64_t m_retries = 0;
    bool m_gaveUp = false;
};

} // namespace host
