// com-round-trips: what one call into the running CAD session costs across processes, with the member's
// DISPID cached (as the program calls) and with a name lookup before every call. Prints figures only;
// scripts/benchmark-windows.sh runs it under Wine against simhost.exe.
//
//   com-round-trips [CALLS]      (200 calls each way by default)
//
// Exit status: 0 with the figures printed, 1 when no session runs or a call fails.

#include "host/com/com_connector.h"
#include "host/com/com_resources.h"
#include "host/com/dispatch.h"
#include "host/object_kinds.h"
#include "host/sw_access.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace
{

using Clock = std::chrono::steady_clock;

/// Milliseconds per call of calls calls.
template <typename Call> double MillisecondsPerCall(int calls, Call&& call)
{
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        call();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / calls;
}

int Measure(int calls)
{
    const host::com::ComApartment apartment;
    CLSID clsid{};
    host::com::ComPtr<IUnknown> running;
    host::com::ComPtr<IDispatch> application;
    if (FAILED(CLSIDFromProgID(host::kProgId, &clsid)) || FAILED(GetActiveObject(clsid, nullptr, running.Put())) ||
        FAILED(running.Query(IID_IDispatch, application)))
    {
        std::fputs("com-round-trips: no CAD session runs (start simhost.exe first)\n", stderr);
        return 1;
    }
    host::com::Dispatch cached(application, host::kind::kApplication, std::make_shared<host::com::DispIdCache>());
    const double cachedMs = MillisecondsPerCall(calls, [&] { cached.Call("GetExecutablePath"); });
    const double lookupMs = MillisecondsPerCall(calls, [&] {
        host::com::Dispatch(application, host::kind::kApplication, std::make_shared<host::com::DispIdCache>())
            .Call("GetExecutablePath");
    });
    std::printf("%d calls of GetExecutablePath each way\n", calls);
    std::printf("  DISPID cached:           %.2f ms per call\n", cachedMs);
    std::printf("  name looked up each time: %.2f ms per call\n", lookupMs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int calls = argc > 1 ? std::atoi(argv[1]) : 200;
    if (calls <= 0)
    {
        std::fputs("Aufruf: com-round-trips [AUFRUFE]\n", stderr);
        return 2;
    }
    try
    {
        return Measure(calls);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "com-round-trips: %s\n", error.what());
        return 1;
    }
}
