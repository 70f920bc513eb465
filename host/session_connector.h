// How the program reaches a CAD session that is already running.
#pragma once

#include "host/busy_retry.h"
#include "host/cad_host.h"
#include "host/call_log.h"

#include <string>

namespace host
{

/// Attaches to the running automation server registered under a ProgID; never starts a new one.
/// Windows asks the running object table; glattmark-sim and the tests hand over a simulated session.
class SessionConnector
{
public:
    SessionConnector() = default;
    SessionConnector(const SessionConnector&) = delete;
    SessionConnector& operator=(const SessionConnector&) = delete;
    virtual ~SessionConnector() = default;

    /// The running instance, or nothing when none is running. May throw host::Error.
    virtual ApplicationPtr GetActiveObject(const std::wstring& progId) = 0;

    /// From now on every call into the host reached through this connection is told to observer (nothing:
    /// no longer). The observer must outlive the calls it hears.
    virtual void ObserveCalls(CallObserver* observer) = 0;
    /// The limits of the calls into the session, from the configuration; a session that answers every
    /// call at once has no use for them.
    virtual void SetCallLimits(const CallLimits& /*limits*/) {}
};

} // namespace host
