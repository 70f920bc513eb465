// What every call of the adapter into the host passes: IDispatch::Invoke and GetIDsOfNames, each repeated
// while a busy host refuses it, and watched while it takes long.
//
// A busy host's COM layer answers SERVERCALL_RETRYLATER; a client without a message filter, or one whose
// runtime does not retry, sees RPC_E_CALL_REJECTED or RPC_E_SERVERCALL_RETRYLATER. A refused call has done
// nothing, so it is repeated after a pause that grows, within the busy limit, as the Visual Basic runtime's
// message filter does. Meanwhile the program's windows keep painting and take no input.
#pragma once

#include "host/busy_retry.h"
#include "host/com/com_resources.h"
#include "host/hang_watch.h"

#include <chrono>
#include <functional>
#include <memory>

namespace host::com
{

class CallGuard
{
public:
    CallGuard();
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;
    ~CallGuard();

    /// The run's limits; watch (which must outlive the guard) asks the user about a call that takes longer
    /// than the hang limit. Without a watch or with limit 0 calls take as long as they take.
    void Configure(const host::CallLimits& limits, host::HangWatch* watch);

    /// One round trip into the host (IDispatch::Invoke or GetIDsOfNames, which try sends), repeated while
    /// the host refuses it as busy, each try watched for the hang limit; what the last try answered.
    HRESULT Repeated(const std::function<HRESULT()>& attempt);

    /// For the message filter: how long to wait before the runtime repeats a call refused with type
    /// (SERVERCALL_RETRYLATER or SERVERCALL_REJECTED) after waited; -1: give up.
    DWORD RetryRejectedCall(DWORD waitedMilliseconds, DWORD type) const;
    /// For the message filter: a message arrived, or the ticker ticked, while a call is under way.
    DWORD MessagePending();

    /// The busy refusals that were repeated so far.
    std::int64_t Retries() const { return m_retry.Retries(); }

    /// A failing call's code that means "busy, try later".
    static bool IsBusy(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

private:
    class Ticker;
    host::BusyRetry m_retry;
    std::unique_ptr<host::HangSupervisor> m_hang;
    std::unique_ptr<Ticker> m_ticker;
};

} // namespace host::com
