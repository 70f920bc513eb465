#include "tools/simhost/class_object.h"

#include "host/com/dispatch.h"

#include <utility>

namespace simhost
{

namespace
{

#pragma GCC diagnostic push
// COM interfaces have no virtual destructor: the object ends itself in Release.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ApplicationFactory final : public IClassFactory
{
public:
    explicit ApplicationFactory(ServedClass::MakeApplication application) : m_application(std::move(application)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

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
    ~ApplicationFactory() = default;

    ServedClass::MakeApplication m_application;
    ULONG m_references = 1;
};
#pragma GCC diagnostic pop

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
