// A callback the system calls (EnumWindows, EnumThreadWindows, ...) must not let an exception unwind through
// the system's code, which was not built for it. CallbackFailure catches it inside the callback, which then
// tells the system to stop, and throws it again once the system's function has returned.
#pragma once

#include <exception>
#include <utility>

namespace win32
{

class CallbackFailure
{
public:
    /// What body answers; stop when it throws, keeping what it threw.
    template <typename Answer, typename Body> Answer Guard(Answer stop, Body&& body) noexcept
    {
        try
        {
            return std::forward<Body>(body)();
        }
        catch (...)
        {
            m_failure = std::current_exception();
            return stop;
        }
    }

    /// Throws what a guarded body threw, if anything; call it after the system's function returned.
    void Rethrow() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    std::exception_ptr m_failure;
};

} // namespace win32
