// Hands a simulated session to the program the way the system hands over the running host.
#pragma once

#include "host/session_connector.h"
#include "host/sim/sim_session.h"

#include <memory>
#include <string>

namespace host::sim
{

inline constexpr wchar_t kApplicationProgId[] = L"SldWorks.Application";

class SimConnector : public host::SessionConnector
{
public:
    explicit SimConnector(std::shared_ptr<SimSession> session);

    /// The session's application when the session is running and progId is the host's; else nothing.
    host::ApplicationPtr GetActiveObject(const std::wstring& progId) override;
    void ObserveCalls(host::CallObserver* observer) override;

    /// The busy limit reaches the session's busy faults; a simulated call never hangs for real.
    void SetCallLimits(const host::CallLimits& limits) override;

private:
    std::shared_ptr<SimSession> m_session;
};

} // namespace host::sim
