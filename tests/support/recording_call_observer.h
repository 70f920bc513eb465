// Double of the call observer: keeps every host call it hears, in order, as one comparable line each.
#pragma once

#include "host/call_log.h"

#include <string>
#include <vector>

namespace testing_support
{

class RecordingCallObserver final : public host::CallObserver
{
public:
    /// "lookup kind.member hr" or "kind.member(VT_...,VT_...) hr", as both adapters must report a call.
    std::vector<std::string> calls;
    std::vector<host::HostCall> raw;

    void HostCalled(const host::HostCall& call) noexcept override
    {
        std::string line = call.lookup ? "lookup " : "";
        line.append(call.object).append(".").append(call.member);
        if (!call.lookup)
        {
            line += "(";
            for (std::size_t i = 0; i < call.args.size(); ++i)
                line.append(i == 0 ? "" : ",").append(call.args[i]);
            line += ")";
        }
        line.append(" ").append(std::to_string(call.hr));
        calls.push_back(line);
        raw.push_back(call);
    }
};

} // namespace testing_support
