// The OLE message filter of the program's apartment, registered for the whole run.
//
// It hands the runtime's questions to the connection's CallGuard: how long to wait before repeating a call
// a busy host refused (RetryRejectedCall), and what to do with a message that arrives while a call is under
// way (MessagePending, where a hung call is watched and may be cancelled). Incoming calls are always taken.
#pragma once

#include "host/com/call_guard.h"

namespace host::com
{

/// Registers the filter while it lives and puts the apartment's previous filter back when it goes. Made
/// after the apartment and the connection's guard, gone before them.
class MessageFilterRegistration
{
public:
    explicit MessageFilterRegistration(CallGuard& guard);
    MessageFilterRegistration(const MessageFilterRegistration&) = delete;
    MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;
    ~MessageFilterRegistration();

private:
    ComPtr<IMessageFilter> m_filter;
    IMessageFilter* m_previous = nullptr;
};

} // namespace host::com
