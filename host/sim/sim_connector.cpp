#include "host/sim/sim_connector.h"

#include <utility>

namespace host::sim
{

SimConnector::SimConnector(std::shared_ptr<SimSession> session) : m_session(std::move(session)) {}

host::ApplicationPtr SimConnector::GetActiveObject(const std::wstring& progId)
{
    if (!m_session || !m_session->Running() || progId != kApplicationProgId)
        return nullptr;
    return m_session->Application();
}

void SimConnector::ObserveCalls(host::CallObserver* observer)
{
    if (m_session)
        m_session->ObserveCalls(observer);
}

void SimConnector::SetCallLimits(const host::CallLimits& limits)
{
    if (m_session)
        m_session->SetBusyLimit(limits.busySeconds);
}

} // namespace host::sim
