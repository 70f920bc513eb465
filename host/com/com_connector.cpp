#include "host/com/com_connector.h"

#include "host/com/com_objects.h"

#include <utility>

namespace host::com
{

ComConnector::ComConnector() : m_cache(std::make_shared<DispIdCache>()) {}

host::ApplicationPtr ComConnector::GetActiveObject(const std::wstring& progId)
{
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == REGDB_E_READREGDB)
        return nullptr; // the host is not installed
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
