// Attaching to the running CAD session through COM.
//
// Stand-in until the COM adapter is merged: it finds no session, so that glattmark.exe builds, starts and
// reports the missing session. The adapter replaces this file.
#pragma once

#include "host/session_connector.h"

namespace host::com
{

class ComConnector : public SessionConnector
{
public:
    /// Always nothing: no session can be reached yet.
    ApplicationPtr GetActiveObject(const std::wstring& progId) override;
};

} // namespace host::com
