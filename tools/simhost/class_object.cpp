#include "tools/simhost/class_object.h"

#include "host/com/dispatch.h"

#include <utility>

namespace simhost
{

namespace
{

class ApplicationFactory final : public host::com::SingleInterfaceObject<ApplicationFactory, IClassFactory>
{
public:
    explicit ApplicationFactory(ServedClass::MakeApplication application) : m_application(std::move(application)) {}
    static REFIID InterfaceId() { return IID_IClassFactory; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        const host::com::ComPtr<IDispatch> application = m_application();
        if (!application)
            return E_UNEXPECTED;
        return application->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ServedClass::MakeApplication m_application;
};

} // namespace

ServedClass::ServedClass(const CLSID& clsid, MakeApplication application)
{
    const host::com::ComPtr<IClassFactory> factory =
        host::com::ComPtr<IClassFactory>::Adopt(new ApplicationFactory(std::move(application)));
    const HRESULT hr = CoRegisterClassObject(clsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    if (FAILED(hr))
        throw host::com::ComFailure(hr, "CoRegisterClassObject");
    m_registered = true;
}

void ServedClass::Revoke() noexcept
{
    if (m_registered)
        CoRevokeClassObject(m_cookie);
    m_registered = false;
}

} // namespace simhost
