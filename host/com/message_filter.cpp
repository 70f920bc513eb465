#include "host/com/message_filter.h"

#include "host/com/dispatch.h"

namespace host::com
{

namespace
{

// COM interfaces have no virtual destructor: the filter is deleted only by its own Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class GuardFilter final : public IMessageFilter
{
public:
    explicit GuardFilter(CallGuard& guard) : m_guard(guard) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter))
        {
            *out = static_cast<IMessageFilter*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override
    {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) override
    {
        return m_guard.RetryRejectedCall(tickCount, rejectType);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return m_guard.MessagePending(); }

private:
    ~GuardFilter() = default;

    ULONG m_refs = 1;
    CallGuard& m_guard;
};

#pragma GCC diagnostic pop

} // namespace

MessageFilterRegistration::MessageFilterRegistration(CallGuard& guard)
    : m_filter(ComPtr<IMessageFilter>::Adopt(new GuardFilter(guard)))
{
    const HRESULT hr = CoRegisterMessageFilter(m_filter.Get(), &m_previous);
    if (FAILED(hr))
        throw ComFailure(hr, "CoRegisterMessageFilter");
}

MessageFilterRegistration::~MessageFilterRegistration()
{
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(m_previous, &ours);
    if (ours)
        ours->Release();
    if (m_previous)
        m_previous->Release();
}

} // namespace host::com
