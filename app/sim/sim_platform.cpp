#include "app/sim/sim_platform.h"

namespace app::sim
{

std::optional<std::wstring> SimPlatform::LoginName()
{
    if (!m_user)
        return m_base.LoginName();
    // An empty --user stands for a system that cannot tell the name.
    if (m_user->empty())
        return std::nullopt;
    return m_user;
}

} // namespace app::sim
