#include "host/com/call_guard.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace host::com
{

namespace
{

/// How often MessagePending is asked while a watched call is under way.
constexpr std::chrono::milliseconds kTick{200};

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

/// Every tick while a call is under way, posts a message to a message-only window of the calling thread: a
/// hung host sends no message, and the runtime asks the message filter's MessagePending only when one
/// arrives (Wine's wait wakes for posted and sent messages, not for a thread timer). Where the runtime
/// dispatches the posted message instead, the window hands the tick to the guard all the same.
class CallGuard::Ticker
{
public:
    explicit Ticker(CallGuard& guard) : m_window(MakeWindow(guard)), m_worker([this] { Run(); }) {}
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;
    ~Ticker()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_one();
        m_worker.join();
        if (m_window)
            DestroyWindow(m_window);
    }

    void Calling(bool calling)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_calling = calling;
        }
        m_wake.notify_one();
    }

private:
    void Run()
    {
        std::unique_lock lock(m_mutex);
        while (!m_ending)
        {
            if (!m_calling)
            {
                m_wake.wait(lock);
                continue;
            }
            if (!m_wake.wait_for(lock, kTick, [this] { return m_ending || !m_calling; }))
                PostMessageW(m_window, kTickMessage, 0, 0);
        }
    }

    static constexpr UINT kTickMessage = WM_APP + 15;
    static constexpr const wchar_t* kClass = L"GlattmarkCallTicker";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kTickMessage)
        {
            if (auto* guard = reinterpret_cast<CallGuard*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                (void)guard->MessagePending();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static HWND MakeWindow(CallGuard& guard)
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassExW(&windowClass); // fails harmlessly once the class exists
        HWND window =
            CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (window)
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&guard));
        return window;
    }

    HWND m_window;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_calling = false;
    bool m_ending = false;
    std::thread m_worker; ///< last: started once everything it reads is made
};

CallGuard::CallGuard() : m_retry([] { return std::chrono::steady_clock::now(); }, PaintingPause) {}

CallGuard::~CallGuard() = default;

void CallGuard::Configure(const host::CallLimits& limits, host::HangWatch* watch)
{
    m_retry.SetLimit(limits.busySeconds);
    m_hang.reset();
    if (watch && limits.hangSeconds > 0)
    {
        m_hang = std::make_unique<host::HangSupervisor>(*watch, limits.hangSeconds);
        if (!m_ticker)
            m_ticker = std::make_unique<Ticker>(*this);
    }
}

HRESULT CallGuard::Repeated(const std::function<HRESULT()>& attempt)
{
    HRESULT hr = S_OK;
    m_retry.Run([&] {
        if (m_hang)
        {
            m_hang->CallStarted(std::chrono::steady_clock::now());
            m_ticker->Calling(true);
        }
        hr = attempt();
        if (m_hang)
        {
            m_ticker->Calling(false);
            m_hang->CallEnded();
        }
        return RefusalOf(hr);
    });
    return hr;
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
