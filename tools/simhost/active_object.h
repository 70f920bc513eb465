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

/// What a ProgID's key held under one root before simhost registered it: its description and class.
struct ProgIdKey
{
    std::wstring description;
    std::wstring clsid;
};

/// The ProgID's keys as simhost found them (nothing: there was none), so that its stop puts them back.
struct ProgIdBefore
{
    std::optional<ProgIdKey> user;
    std::optional<ProgIdKey> machine;
};

/// Registers progId -> clsid under HKCU\Software\Classes, and under HKLM\Software\Classes where it may be
/// written (Wine's CLSIDFromProgID reads only HKLM); answers what was there before. Throws host::Error when
/// the user's key cannot be written.
ProgIdBefore RegisterProgId(const std::wstring& progId, const CLSID& clsid);

/// The CLSID (as "{...}") that HKLM\Software\Classes maps progId to; "" when it maps it to none.
std::wstring MachineClassOf(const std::wstring& progId);

/// Takes back what RegisterProgId wrote, under HKCU and HKLM: where the ProgID's key still names clsid (a key
/// another server took over meanwhile stays), the key as it was before, or none; and clsid's own key.
void UnregisterProgId(const std::wstring& progId, const CLSID& clsid, const ProgIdBefore& before) noexcept;

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
