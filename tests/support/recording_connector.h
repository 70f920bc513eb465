// Double of the session connector: hands out the application it was given (none: no session is running),
// records the ProgIDs it was asked for, and can be told to fail as the system's request can.
#pragma once

#include "host/session_connector.h"

#include <string>
#include <vector>

namespace testing_support
{

class RecordingConnector : public host::SessionConnector
{
public:
    host::ApplicationPtr application;
    bool failRequest = false; ///< GetActiveObject throws, as when the running object table refuses
    std::vector<std::wstring> requests;

    host::ApplicationPtr GetActiveObject(const std::wstring& progId) override
    {
        requests.push_back(progId);
        if (failRequest)
            throw host::Error(host::kServerUnavailable, "GetActiveObject", "failure injected by the test");
        return application;
    }

    /// Remembered, not passed on: the application handed out is the test's own.
    void ObserveCalls(host::CallObserver* observerIn) override { observer = observerIn; }
    host::CallObserver* observer = nullptr;
};

} // namespace testing_support
