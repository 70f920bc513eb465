#include "host/hang_watch.h"

namespace host
{

void HangSupervisor::CallStarted(Clock::time_point now)
{
    m_calling = true;
    m_asking = false;
    m_cancelled = false;
    m_periodStart = now;
}

bool HangSupervisor::Tick(Clock::time_point now)
{
    if (!m_calling)
        return false;
    if (m_cancelled)
    {
        // The runtime may not end a cancelled call (Wine waits for the host's answer regardless): after a
        // grace period the call is given up with the program.
        // Once only: abandoning shows a message, and ticks keep coming while it is up.
        if (now - m_cancelledAt >= kCancelGrace && !m_abandoned)
        {
            m_abandoned = true;
            m_watch.Abandon();
        }
        return true;
    }
    if (!m_asking)
    {
        if (now - m_periodStart >= m_limit)
        {
            m_watch.Ask();
            m_asking = true;
        }
        return false;
    }
    switch (m_watch.Answered())
    {
    case HangWatch::Answer::Wait:
        m_watch.Withdraw();
        m_asking = false;
        m_periodStart = now;
        return false;
    case HangWatch::Answer::Cancel:
        m_watch.Withdraw();
        m_asking = false;
        m_cancelled = true;
        m_cancelledAt = now;
        return true;
    case HangWatch::Answer::None:
        break;
    }
    return false;
}

void HangSupervisor::CallEnded()
{
    if (m_asking)
        m_watch.Withdraw();
    m_calling = false;
    m_asking = false;
    m_cancelled = false;
}

} // namespace host
