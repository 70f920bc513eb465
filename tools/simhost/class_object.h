// The class object of the served session: what a client's CreateObject("SldWorks.Application") reaches.
// The CAD program hands out its running instance for its ProgID; simhost does the same, so that a macro
// that creates the application object under a script host talks to the served session.
#pragma once

#include "host/com/com_resources.h"

#include <functional>

namespace simhost
{

/// A class factory for clsid, registered for other processes (multiple use) until Revoke or the end of this
/// object. Every instance it creates is one that application() hands out.
class ServedClass
{
public:
    using MakeApplication = std::function<host::com::ComPtr<IDispatch>()>;

    /// Throws host::Error when COM refuses the registration.
    ServedClass(const CLSID& clsid, MakeApplication application);
    ServedClass(const ServedClass&) = delete;
    ServedClass& operator=(const ServedClass&) = delete;
    ~ServedClass() { Revoke(); }

    void Revoke() noexcept;

private:
    DWORD m_cookie = 0;
    bool m_registered = false;
};

} // namespace simhost
