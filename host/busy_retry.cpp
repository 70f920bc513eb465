#include "host/busy_retry.h"

#include <algorithm>

namespace host
{

std::optional<Refusal> BusyRetry::Run(const Attempt& attempt)
{
    std::optional<Refusal> refusal = attempt();
    if (!refusal || m_gaveUp)
        return refusal;
    const auto start = m_clock();
    auto pause = kFirstPause;
    while (refusal && *refusal == Refusal::RetryLater)
    {
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(m_clock() - start);
        if (waited >= m_limit)
        {
            m_gaveUp = true;
            break;
        }
        m_pause(std::min<std::chrono::milliseconds>(pause, m_limit - waited));
        pause = std::min(pause * 2, kLongestPause);
        ++m_retries;
        refusal = attempt();
    }
    return refusal;
}

std::optional<std::chrono::milliseconds> BusyRetry::NextPause(std::chrono::milliseconds waited, Refusal refusal) const
{
    if (refusal == Refusal::Rejected || m_gaveUp || waited >= m_limit)
        return std::nullopt;
    // The pauses of Run double from the first; after them the time waited is about the last pause, so the
    // next is that again, within the same bounds.
    return std::min({std::max(waited, kFirstPause), kLongestPause,
                     std::chrono::duration_cast<std::chrono::milliseconds>(m_limit - waited)});
}

} // namespace host
