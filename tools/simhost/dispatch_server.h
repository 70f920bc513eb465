// The simulated CAD session served through IDispatch: one COM object per host object, each answering the
// member table of its kind by name (case-insensitively, as IDispatch is). Used by simhost.exe across
// processes and by the adapter's tests in their own process.
//
// Every call reaches the simulated session exactly once, so its call counts are those glattmark-sim
// writes. What only the COM layer sees is kept beside them: the name lookups by object kind and member,
// and every call with the VARIANT types of its arguments.
#pragma once

#include "host/cad_host.h"
#include "host/com/com_resources.h"
#include "host/sim/sim_session.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace simhost
{

/// The kinds of host object; every object of a kind answers the same members under the same DISPIDs.
enum class Kind
{
    Application,
    Frame,
    Document, ///< drawings included: one object answers the document and the drawing members
    Sheet,
    View,
    Symbol,
    Annotation,
    Note,
    TextFormat,
    Extension,
    SelectionManager,
    PropertyManager,
    FeatureManager,
};

/// The kind's name in the stats, as the adapter names it (host/object_kinds.h).
const char* KindName(Kind kind);

/// One call as it arrived.
struct CallRecord
{
    Kind kind = Kind::Application;
    std::string member;
    std::string invoke;            ///< "method", "get", "put", or flags joined by "|"
    std::vector<std::string> args; ///< VARIANT types in the member's parameter order
};

class DispatchObject;

/// When the text of a failure is made: at once, or when the client reads it (deferred fill-in), as servers
/// may do. Across processes Wine 8's IDispatch stub hands the fill-in's address to the client instead of
/// running it, so a server in another process must fill in at once there.
enum class FailureText
{
    AtOnce,
    Deferred,
};

class DispatchServer : public std::enable_shared_from_this<DispatchServer>
{
public:
    static std::shared_ptr<DispatchServer> Create(std::shared_ptr<host::sim::SimSession> session,
                                                  FailureText failureText);
    DispatchServer(const DispatchServer&) = delete;
    DispatchServer& operator=(const DispatchServer&) = delete;

    /// The application object, a new COM object on every call.
    host::com::ComPtr<IDispatch> Application();

    /// Cuts every object handed out off from its clients: their later calls fail in COM without reaching
    /// the session. For the end of the server, after it has left the running object table.
    void DisconnectAll();

    /// The session with its `stats` completed by the lookups and the call log (UTF-8 JSON).
    std::string SessionWithStats() const;
    /// The lookups and the call log alone, as added to `stats`.
    nlohmann::json ComStats() const;

    const host::sim::SimSession& Session() const { return *m_session; }
    std::int64_t Lookups() const { return m_lookupTotal; }
    const std::vector<CallRecord>& CallLog() const { return m_callLog; }
    /// When the last lookup or call arrived (the server's start before any).
    std::chrono::steady_clock::time_point LastActivity() const { return m_lastActivity; }
    /// COM objects alive now, whoever holds them.
    std::size_t LiveObjects() const { return m_live.size(); }

    /// Asked while a call hangs (a hang fault): true ends the hang at once, so that a stop is not held up.
    void SetStopCheck(std::function<bool()> stopAsked) { m_stopAsked = std::move(stopAsked); }

    /// Written into `stats` as `stop`: why the server ended.
    void SetStopReason(std::string reason) { m_stopReason = std::move(reason); }

    /// A new COM object for a host object of kind; nothing stays nothing.
    host::com::ComPtr<IDispatch> Wrap(std::shared_ptr<host::HostObject> object, Kind kind);
    /// The host object behind one of this server's COM objects; nothing for another server's object.
    std::shared_ptr<host::HostObject> Unwrap(IUnknown* object) const;

private:
    friend class DispatchObject;

    DispatchServer(std::shared_ptr<host::sim::SimSession> session, FailureText failureText);

    void Touch() { m_lastActivity = std::chrono::steady_clock::now(); }
    /// True while a busy fault refuses calls: the call is refused with RPC_E_CALL_REJECTED before it reaches
    /// the session. Wine 8 ignores a server message filter's SERVERCALL_RETRYLATER (the call is served
    /// anyway), so the refusal is answered from the object itself, as the client sees it from a busy host.
    bool Busy();
    /// Waits out a hang fault due for the next call of member.
    void HangIfDue(const std::string& member);

    std::shared_ptr<host::sim::SimSession> m_session;
    FailureText m_failureText;
    std::map<const IUnknown*, DispatchObject*> m_live;
    std::map<std::string, std::map<std::string, std::int64_t>> m_lookups; ///< kind -> member -> count
    std::int64_t m_lookupTotal = 0;
    std::vector<CallRecord> m_callLog;
    std::chrono::steady_clock::time_point m_lastActivity;
    std::map<std::size_t, std::chrono::steady_clock::time_point> m_busySince; ///< busy fault index -> start
    std::int64_t m_refused = 0;
    std::function<bool()> m_stopAsked;
    bool m_disconnected = false; ///< a disconnect fault fired: the host is gone for every later lookup too
    std::string m_stopReason;
    std::int64_t m_heldAtStop = -1; ///< simulated objects still held when DisconnectAll ran
};

} // namespace simhost
