#include "host/com/message_filter.h"

#include "host/com/dispatch.h"

namespace host::com
{

namespace
{

class GuardFilter final : public SingleInterfaceObject<GuardFilter, IMessageFilter>
{
public:
    explicit GuardFilter(CallGuard& guard) : m_guard(guard) {}
    static REFIID InterfaceId() { return IID_IMessageFilter; }

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
    CallGuard& m_guard;
};

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
