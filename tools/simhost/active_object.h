// Making the served session findable the way a running CAD session is: its ProgID in the registry, its
// application object in the running object table.
#pragma once

#include "host/com/com_resources.h"

#include <optional>
#include <string>

namespace simhost
{

/// The class of the simulated session. Only the ProgID and this CLSID are registered, never a server
/// path, so that COM can never start simhost on its own.
extern const CLSID kSimHostClsid;

/// Registers progId -> clsid under HKCU\Software\Classes, and under HKLM\Software\Classes where it may be
/// written (Wine's CLSIDFromProgID reads only HKLM). Throws host::Error when the user's key cannot be written.
void RegisterProgId(const std::wstring& progId, const CLSID& clsid);

/// The CLSID (as "{...}") that HKLM\Software\Classes maps progId to; "" when it maps it to none.
std::wstring MachineClassOf(const std::wstring& progId);

/// Takes back what RegisterProgId wrote, under HKCU and HKLM: the ProgID's key where it still names clsid
/// (a key another server took over meanwhile stays), and clsid's own key.
void UnregisterProgId(const std::wstring& progId, const CLSID& clsid) noexcept;

/// The application object in the running object table, strongly registered, until Revoke or the end of
/// this object.
class RunningObject
{
public:
    /// Throws host::Error.
    RunningObject(IUnknown* object, const CLSID& clsid);
    RunningObject(const RunningObject&) = delete;
    RunningObject& operator=(const RunningObject&) = delete;
    ~RunningObject() { Revoke(); }

    void Revoke() noexcept;
    /// Another object of the class was in the table already; a client may be handed either.
    bool SharesTheTable() const { return m_shared; }

private:
    DWORD m_cookie = 0;
    bool m_registered = false;
    bool m_shared = false;
};

} // namespace simhost
