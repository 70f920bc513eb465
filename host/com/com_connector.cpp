#include "host/com/com_connector.h"

#include "host/com/com_objects.h"

#include <utility>

namespace host::com
{

ComConnector::ComConnector(host::HangWatch* hangWatch)
    : m_cache(std::make_shared<DispIdCache>()), m_hangWatch(hangWatch)
{
    m_cache->Guard().Configure(host::CallLimits{}, m_hangWatch);
}

void ComConnector::SetCallLimits(const host::CallLimits& limits)
{
    m_cache->Guard().Configure(limits, m_hangWatch);
}

host::ApplicationPtr ComConnector::GetActiveObject(const std::wstring& progId)
{
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG)
        return nullptr; // the host is not installed
    if (hr == REGDB_E_READREGDB)
        throw ComFailure(hr, "CLSIDFromProgID", L"the registry cannot be read");
    if (FAILED(hr))
        throw ComFailure(hr, "CLSIDFromProgID");

    ComPtr<IUnknown> running;
    hr = ::GetActiveObject(clsid, nullptr, running.Put());
    if (hr == MK_E_UNAVAILABLE)
        return nullptr; // installed, not running
    if (FAILED(hr))
        throw ComFailure(hr, "GetActiveObject");

    ComPtr<IDispatch> application;
    hr = running.Query(IID_IDispatch, application);
    if (FAILED(hr))
        throw ComFailure(hr, "QueryInterface", L"the running session offers no IDispatch");
    return Attach(std::move(application));
}

host::ApplicationPtr ComConnector::Attach(ComPtr<IDispatch> application)
{
    return MakeApplication(std::move(application), m_cache);
}

} // namespace host::com
