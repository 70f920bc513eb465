#include "host/com/call_guard.h"

#include <utility>

namespace host::com
{

namespace
{

/// How often MessagePending is asked while a watched call is under way: the runtime consults the filter
/// only when a message arrives, and a hung host sends none.
constexpr UINT kTickMilliseconds = 200;

/// Waits while the program's windows paint; input stays queued (the dialog takes none meanwhile).
void PaintingPause(std::chrono::milliseconds pause)
{
    const auto end = std::chrono::steady_clock::now() + pause;
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_PAINT | QS_SENDMESSAGE,
                                    MWMO_INPUTAVAILABLE);
        MSG message;
        // Peeking delivers sent messages; painting is the one queued kind taken.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
            DispatchMessageW(&message);
    }
}

std::optional<host::Refusal> RefusalOf(HRESULT hr)
{
    if (CallGuard::IsBusy(hr))
        return host::Refusal::RetryLater;
    return std::nullopt;
}

} // namespace

CallGuard::CallGuard() : m_retry([] { return std::chrono::steady_clock::now(); }, PaintingPause) {}

CallGuard::~CallGuard()
{
    if (m_ticker != 0)
        KillTimer(nullptr, m_ticker);
}

void CallGuard::Configure(const host::CallLimits& limits, host::HangWatch* watch)
{
    m_retry.SetLimit(limits.busySeconds);
    m_hang.reset();
    if (watch && limits.hangSeconds > 0)
        m_hang = std::make_unique<host::HangSupervisor>(*watch, limits.hangSeconds);
}

template <typename Raw> HRESULT CallGuard::Guarded(Raw&& raw)
{
    HRESULT hr = S_OK;
    m_retry.Run([&] {
        if (m_hang)
        {
            m_hang->CallStarted(std::chrono::steady_clock::now());
            m_ticker = SetTimer(nullptr, 0, kTickMilliseconds, nullptr);
        }
        hr = raw();
        if (m_hang)
        {
            m_hang->CallEnded();
            if (m_ticker != 0)
                KillTimer(nullptr, std::exchange(m_ticker, 0));
        }
        return RefusalOf(hr);
    });
    return hr;
}

HRESULT CallGuard::InvokeOnce(IDispatch& object, DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argError)
{
    return Guarded(
        [&] { return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, argError); });
}

HRESULT CallGuard::LookUpOnce(IDispatch& object, LPOLESTR name, DISPID& id)
{
    return Guarded([&] { return object.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id); });
}

DWORD CallGuard::RetryRejectedCall(DWORD waitedMilliseconds, DWORD type) const
{
    const auto pause =
        m_retry.NextPause(std::chrono::milliseconds(waitedMilliseconds),
                          type == SERVERCALL_RETRYLATER ? host::Refusal::RetryLater : host::Refusal::Rejected);
    return pause ? static_cast<DWORD>(pause->count()) : static_cast<DWORD>(-1);
}

DWORD CallGuard::MessagePending()
{
    if (m_hang && m_hang->Tick(std::chrono::steady_clock::now()))
        return PENDINGMSG_CANCELCALL;
    return PENDINGMSG_WAITDEFPROCESS;
}

} // namespace host::com
