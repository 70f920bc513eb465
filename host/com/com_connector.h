// Attaching to the CAD session that runs in another process, through the running object table.
#pragma once

#include "host/com/com_resources.h"
#include "host/com/dispatch.h"
#include "host/session_connector.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host::com
{

/// The connection of one run: it finds the running session and owns the DISPID cache that every host
/// object reached from it shares. It holds no reference to the host itself, so the run decides when the
/// last one goes (always before the apartment ends).
class ComConnector final : public host::SessionConnector
{
public:
    /// hangWatch (may be null: no call is ever given up) asks the user about a call that hangs; it must
    /// outlive the connector.
    explicit ComConnector(host::HangWatch* hangWatch = nullptr);

    /// The session registered under progId in the running object table. Nothing when none runs: the ProgID
    /// is not registered, or no object of its class is in the table. Never starts a session. Throws
    /// host::Error when a session is there but cannot be reached, and when the registry cannot be read
    /// (REGDB_E_READREGDB: that says nothing about whether a session runs).
    host::ApplicationPtr GetActiveObject(const std::wstring& progId) override;

    void ObserveCalls(host::CallObserver* observer) override { m_cache->ObserveCalls(observer); }
    /// Busy and hang limits for every later call of this connection.
    void SetCallLimits(const host::CallLimits& limits) override;

    /// The guard every call of this connection passes, for the apartment's message filter.
    CallGuard& Guard() { return m_cache->Guard(); }

    /// The application object behind application, called through this connection; nothing for null.
    host::ApplicationPtr Attach(ComPtr<IDispatch> application);

    /// Member names looked up in the host so far.
    std::int64_t Lookups() const { return m_cache->Lookups(); }

private:
    std::shared_ptr<DispIdCache> m_cache;
    host::HangWatch* m_hangWatch;
};

} // namespace host::com
