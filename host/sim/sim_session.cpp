#include "host/sim/sim_session.h"

#include "host/sim/session_file.h"
#include "host/sim/sim_document.h"
#include "host/sim/sim_state.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace host::sim
{

std::shared_ptr<SimSession> SimSession::Parse(const std::string& utf8Json)
{
    return std::make_shared<SimSession>(ReadSessionFile(utf8Json));
}

std::shared_ptr<SimSession> SimSession::Load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw SessionFileError(file.u8string().empty()
                                   ? "keine Sitzungsdatei angegeben"
                                   : "Sitzungsdatei kann nicht gelesen werden: " +
                                         std::string(reinterpret_cast<const char*>(file.u8string().c_str())));
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

SimSession::SimSession(SessionModel model)
    : m_state(std::make_shared<SimState>(std::move(model))), m_application(MakeApplication(m_state))
{
}

SimSession::~SimSession() = default;

std::string SimSession::Serialize() const
{
    CallStats stats;
    stats.total = m_state->TotalCalls();
    stats.byMember = m_state->CallsByMember();
    stats.rebuilds = m_state->Rebuilds();
    return WriteSessionFile(m_state->Model(), stats);
}

void SimSession::Save(const std::filesystem::path& file) const
{
    const auto text = Serialize();
    // Written beside the file and renamed over it, so that a write that fails halfway (a full disk)
    // never destroys the session it was read from.
    std::filesystem::path temporary = file;
    temporary += ".schreiben";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code error;
    if (out)
        std::filesystem::rename(temporary, file, error);
    if (!out || error)
    {
        std::filesystem::remove(temporary, error);
        throw SessionFileError("Sitzungsdatei kann nicht geschrieben werden: " +
                               std::string(reinterpret_cast<const char*>(file.u8string().c_str())));
    }
}

void SimSession::SetBusyLimit(std::int32_t seconds)
{
    m_state->SetBusyLimit(seconds);
}

bool SimSession::Running() const
{
    return m_state->Model().running;
}

host::ApplicationPtr SimSession::Application()
{
    return m_application;
}

const SessionModel& SimSession::Model() const
{
    return m_state->Model();
}

const DocumentModel* SimSession::ActiveDocument() const
{
    const auto& model = m_state->Model();
    if (!model.activeDocument || *model.activeDocument >= model.documents.size())
        return nullptr;
    return &model.documents[*model.activeDocument];
}

void SimSession::ObserveCalls(host::CallObserver* observer)
{
    m_state->ObserveCalls(observer);
}

std::int64_t SimSession::CallCount(const std::string& member) const
{
    const auto& calls = m_state->CallsByMember();
    const auto it = calls.find(member);
    return it == calls.end() ? 0 : it->second;
}

std::int64_t SimSession::TotalCalls() const
{
    return m_state->TotalCalls();
}

const std::map<std::string, std::int64_t>& SimSession::CallsByMember() const
{
    return m_state->CallsByMember();
}

std::int64_t SimSession::Rebuilds() const
{
    return m_state->Rebuilds();
}

std::int64_t SimSession::ObjectsHeldOutside() const
{
    return m_state->LiveObjects() - (m_application ? 1 : 0);
}

} // namespace host::sim
