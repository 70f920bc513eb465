// The state behind every simulated host object: the model, the call counts and the faults.
#pragma once

#include "host/call_log.h"
#include "host/host_error.h"
#include "host/sim/session_model.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace host::sim
{

/// Where an annotation stands in the model. Pointers are valid until the model's vectors change.
struct Located
{
    std::size_t documentIndex = 0;
    std::size_t sheetIndex = 0;
    std::optional<std::size_t> viewIndex; ///< nullopt: on the sheet itself
    DocumentModel* document = nullptr;
    SheetModel* sheet = nullptr;
    SymbolModel* symbol = nullptr; ///< exactly one of symbol and note is set
    NoteModel* note = nullptr;
};

class SimState;

/// One member call being served, from its Enter to the end of the member's body. It tells the session's
/// call observer, if any, how the call ended: a failure raised through SimState::Fail (or by Enter's faults)
/// with its code and text, any other exception as E_UNEXPECTED.
class SimCall
{
public:
    SimCall(SimState& state, bool nothing, std::optional<host::HostCall> record)
        : m_state(state), m_nothing(nothing), m_record(std::move(record)), m_exceptions(std::uncaught_exceptions())
    {
    }
    SimCall(const SimCall&) = delete;
    SimCall& operator=(const SimCall&) = delete;
    ~SimCall();

    /// An object-returning call must answer nothing (an injected "nothing" fault).
    bool Nothing() const { return m_nothing; }

private:
    SimState& m_state;
    bool m_nothing;
    std::optional<host::HostCall> m_record; ///< only while somebody observes the calls
    int m_exceptions;
};

class SimState
{
public:
    /// Takes the model over and gives every annotation its identity. Throws SessionFileError when the
    /// model is not consistent.
    explicit SimState(SessionModel model);
    SimState(const SimState&) = delete;
    SimState& operator=(const SimState&) = delete;

    SessionModel& Model() { return m_model; }
    const SessionModel& Model() const { return m_model; }

    /// Every member call goes through here first: it is counted, then the faults apply. object is the kind
    /// of the called object, args the VARIANT types the COM adapter sends for this call (host::vt), for the
    /// log of host calls. Throws host::Error for an injected failure; the call answers nothing when the
    /// result says so. The result lives as long as the member's body. A call a busy host refuses is not
    /// counted: it did nothing.
    [[nodiscard]] SimCall Enter(const char* object, const std::string& member,
                                std::initializer_list<const char*> args = {});

    /// Raises the failure of the call being served. Every failure of a member goes through here, so that the
    /// log of host calls records what the call answered.
    [[noreturn]] void Fail(std::int32_t code, const std::string& detail);

    /// From now on every call is told to observer (nothing: no longer), as the COM adapter tells its calls:
    /// the first call of a member on a kind of object comes after a name lookup, which the simulated session
    /// answers at once.
    void ObserveCalls(host::CallObserver* observer) { m_observer = observer; }

    /// The program's busy limit, seconds. Without time, a busy fault is all or nothing: shorter than the
    /// limit, the program's repeated tries outlast it and it changes nothing; as long or longer, the host
    /// stays busy for the rest of the run and refuses every later call (host::kCallRejected), as the
    /// program sees it once it has given up.
    void SetBusyLimit(std::int32_t seconds) { m_busyLimit = seconds; }

    /// The member of the call being served (the last one that entered), for the failures it raises.
    const std::string& CurrentMember() const { return m_member; }

    std::int64_t TotalCalls() const { return m_totalCalls; }
    const std::map<std::string, std::int64_t>& CallsByMember() const { return m_callsByMember; }
    std::int64_t Rebuilds() const { return m_rebuilds; }
    void CountRebuild() { ++m_rebuilds; }

    AnnotationId NewId() { return ++m_lastId; }

    /// Simulated host objects alive now, whoever holds them (the session's own application included).
    std::int64_t LiveObjects() const { return m_liveObjects; }
    void CountObject(std::int64_t change) { m_liveObjects += change; }

    /// The document at index; throws host::Error when it does not exist.
    DocumentModel& Document(std::size_t index);
    /// The annotation of that identity, nullopt when it was deleted.
    std::optional<Located> Locate(AnnotationId id);
    /// As Locate, but a deleted annotation is a host failure (the object is gone).
    Located LocateOrFail(AnnotationId id);

    /// True when a symbol or note on the sheet (itself or one of its views) other than `except` bears name.
    bool NameTaken(const SheetModel& sheet, std::wstring_view name, AnnotationId except) const;
    /// "<prefix><n>" with n one past the highest n any annotation of the document bears.
    std::wstring DefaultName(const DocumentModel& document, std::wstring_view prefix) const;

    bool Toggle(std::int32_t id) const;
    void SetToggle(std::int32_t id, bool on);

private:
    friend class SimCall;

    void AssignIds();
    /// Tells the observer how the call ended; hr 0 when it did not fail.
    void Report(host::HostCall& call, bool failed) noexcept;

    SessionModel m_model;
    std::map<std::string, std::int64_t> m_callsByMember;
    std::int64_t m_totalCalls = 0;
    std::string m_member;
    std::int64_t m_rebuilds = 0;
    AnnotationId m_lastId = 0;
    std::int64_t m_liveObjects = 0;
    host::CallObserver* m_observer = nullptr;
    std::set<std::pair<std::string, std::string>> m_lookedUp; ///< kind and member, once looked up
    std::optional<host::Error> m_failure;                     ///< the last failure raised, until reported
    std::int32_t m_busyLimit = 30;
};

/// Makes a simulated host object that counts as alive in state until its last reference is dropped, so
/// that a test can see whether a program let go of everything the host handed it.
template <typename T, typename... Args>
std::shared_ptr<T> MakeCounted(const std::shared_ptr<SimState>& state, Args&&... args)
{
    auto object = std::shared_ptr<T>(new T(std::forward<Args>(args)...), [state](T* dying) {
        state->CountObject(-1);
        delete dying;
    });
    state->CountObject(+1);
    return object;
}

} // namespace host::sim
