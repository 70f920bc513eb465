// The simulated CAD session: a session file read into memory, served through the typed host
// interface, and written back with what the program changed and how it called the host.
//
// One session serves one run at a time, on one thread. The host objects it hands out keep the session's
// state alive; they find their sheet, view or annotation in the model on every call, so what the model
// shows is what the host objects see.
#pragma once

#include "host/cad_host.h"
#include "host/call_log.h"
#include "host/sim/session_file.h"
#include "host/sim/session_model.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace host::sim
{

class SimState;

class SimSession
{
public:
    /// Reads a session from its file text. Throws SessionFileError.
    static std::shared_ptr<SimSession> Parse(const std::string& utf8Json);
    /// Reads a session file. Throws SessionFileError (also when the file cannot be read).
    static std::shared_ptr<SimSession> Load(const std::filesystem::path& file);

    /// A session on a model built in code. Throws SessionFileError when the model is not consistent
    /// (an active document or current sheet that does not exist).
    explicit SimSession(SessionModel model);
    SimSession(const SimSession&) = delete;
    SimSession& operator=(const SimSession&) = delete;
    ~SimSession();

    /// The session in the file format (UTF-8 JSON), with `stats`.
    std::string Serialize() const;
    /// Writes Serialize() to the file. Throws SessionFileError when it cannot be written.
    void Save(const std::filesystem::path& file) const;

    /// The program's busy limit in seconds (see SimState::SetBusyLimit).
    void SetBusyLimit(std::int32_t seconds);

    /// False: no session is running, attaching fails.
    bool Running() const;
    /// The application object; the same one on every call.
    host::ApplicationPtr Application();

    const SessionModel& Model() const;
    /// Valid until the next call that opens a document. nullptr when no document is active.
    const DocumentModel* ActiveDocument() const;

    /// Every call from now on is told to observer (nothing: no longer).
    void ObserveCalls(host::CallObserver* observer);

    /// Calls of one host member ("GetText", "SetUserPreferenceToggle", "Angle", ...), whichever object.
    std::int64_t CallCount(const std::string& member) const;
    std::int64_t TotalCalls() const;
    const std::map<std::string, std::int64_t>& CallsByMember() const;
    std::int64_t Rebuilds() const;

    /// Simulated host objects alive that the session itself does not hold: 0 once everybody who was handed
    /// one has let go of it.
    std::int64_t ObjectsHeldOutside() const;

private:
    std::shared_ptr<SimState> m_state;
    host::ApplicationPtr m_application;
};

} // namespace host::sim
