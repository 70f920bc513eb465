// The state behind every simulated host object: the model, the call counts and the faults.
#pragma once

#include "host/sim/session_model.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
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

    /// Every member call goes through here first: it is counted, then the faults apply. Throws host::Error
    /// for an injected failure; returns true when an object-returning call must answer nothing. A call a
    /// busy host refuses is not counted: it did nothing.
    [[nodiscard]] bool Enter(const std::string& member);

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
    void AssignIds();

    SessionModel m_model;
    std::map<std::string, std::int64_t> m_callsByMember;
    std::int64_t m_totalCalls = 0;
    std::string m_member;
    std::int64_t m_rebuilds = 0;
    AnnotationId m_lastId = 0;
    std::int64_t m_liveObjects = 0;
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
