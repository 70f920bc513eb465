#include "tools/simhost/active_object.h"

#include "host/com/dispatch.h"
#include "win32/registry.h"

namespace simhost
{

// {AD8FDB53-6733-49F7-B50A-FE01D8FCFA6E}
const CLSID kSimHostClsid = {0xad8fdb53, 0x6733, 0x49f7, {0xb5, 0x0a, 0xfe, 0x01, 0xd8, 0xfc, 0xfa, 0x6e}};

namespace
{

constexpr const wchar_t* kDescription = L"Glattmark: simulierte CAD-Sitzung (simhost)";

LSTATUS RegisterUnder(HKEY root, const std::wstring& progId, const std::wstring& clsid)
{
    const std::wstring classes = L"Software\\Classes\\";
    for (const auto& [path, value] :
         {std::pair{classes + progId, std::wstring(kDescription)}, std::pair{classes + progId + L"\\CLSID", clsid},
          std::pair{classes + L"CLSID\\" + clsid, std::wstring(kDescription)},
          std::pair{classes + L"CLSID\\" + clsid + L"\\ProgID", progId}})
    {
        const LSTATUS status = win32::SetDefaultText(root, path, value);
        if (status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

std::wstring ClassText(const CLSID& clsid)
{
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return text;
}

std::wstring DefaultText(HKEY root, const std::wstring& path)
{
    const win32::UniqueHkey key = win32::OpenKeyToRead(root, path);
    if (!key)
        return {};
    for (const auto& [name, text] : win32::TextValues(key.Get()))
        if (name.empty())
            return text;
    return {};
}

} // namespace

std::wstring MachineClassOf(const std::wstring& progId)
{
    return DefaultText(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + progId + L"\\CLSID");
}

void UnregisterProgId(const std::wstring& progId, const CLSID& clsid, const ProgIdBefore& before) noexcept
{
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring ours = ClassText(clsid);
    for (const auto& [root, earlier] :
         {std::pair{HKEY_CURRENT_USER, &before.user}, std::pair{HKEY_LOCAL_MACHINE, &before.machine}})
    {
        if (CompareStringOrdinal(DefaultText(root, classes + progId + L"\\CLSID").c_str(), -1, ours.c_str(), -1,
                                 TRUE) == CSTR_EQUAL)
        {
            if (*earlier)
            {
                // Taken over: the other class gets its ProgID back.
                (void)win32::SetDefaultText(root, classes + progId, (*earlier)->description);
                (void)win32::SetDefaultText(root, classes + progId + L"\\CLSID", (*earlier)->clsid);
            }
            else
            {
                RegDeleteTreeW(root, (classes + progId).c_str());
                RegDeleteKeyW(root, (classes + progId).c_str());
            }
        }
        RegDeleteTreeW(root, (classes + L"CLSID\\" + ours).c_str());
        RegDeleteKeyW(root, (classes + L"CLSID\\" + ours).c_str());
    }
}

ProgIdBefore RegisterProgId(const std::wstring& progId, const CLSID& clsid)
{
    const std::wstring key = L"Software\\Classes\\" + progId;
    const auto found = [&key](HKEY root) -> std::optional<ProgIdKey> {
        if (!win32::OpenKeyToRead(root, key))
            return std::nullopt;
        return ProgIdKey{DefaultText(root, key), DefaultText(root, key + L"\\CLSID")};
    };
    ProgIdBefore before{found(HKEY_CURRENT_USER), found(HKEY_LOCAL_MACHINE)};
    // A key simhost left behind (a stop it did not live to see) is no other class's.
    const std::wstring ours = ClassText(clsid);
    for (auto* earlier : {&before.user, &before.machine})
        if (*earlier && CompareStringOrdinal((*earlier)->clsid.c_str(), -1, ours.c_str(), -1, TRUE) == CSTR_EQUAL)
            earlier->reset();
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    const LSTATUS user = RegisterUnder(HKEY_CURRENT_USER, progId, text);
    if (user != ERROR_SUCCESS)
        throw host::com::ComFailure(HRESULT_FROM_WIN32(static_cast<unsigned long>(user)), "RegCreateKeyEx",
                                    L"HKCU\\Software\\Classes");
    // Windows merges HKCU into HKEY_CLASSES_ROOT, so the machine's key is needed only where that is not done.
    (void)RegisterUnder(HKEY_LOCAL_MACHINE, progId, text);
    return before;
}

RunningObject::RunningObject(IUnknown* object, const CLSID& clsid)
{
    const HRESULT hr = RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &m_cookie);
    if (FAILED(hr))
        throw host::com::ComFailure(hr, "RegisterActiveObject");
    m_registered = true;
    m_shared = hr == MK_S_MONIKERALREADYREGISTERED;
}

void RunningObject::Revoke() noexcept
{
    if (m_registered)
        RevokeActiveObject(m_cookie, nullptr);
    m_registered = false;
}

} // namespace simhost
