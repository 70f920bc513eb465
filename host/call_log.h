// What the host side tells about every call into the CAD host, for the log of host calls that a user can
// turn on in the field. The COM adapter reports each round trip it makes; the simulated session reports each
// member call it serves, under the same object kinds (host/object_kinds.h) and argument type names, so that
// the logs of one scenario run both ways can be laid side by side.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace host
{

/// The VARIANT type of an argument as a call into the host carries it, named as COM names it: a base type,
/// "VT_BYREF|" or "VT_ARRAY|" before it, " null" after an object reference that holds no object.
namespace vt
{
inline constexpr const char* kI2 = "VT_I2";
inline constexpr const char* kI4 = "VT_I4";
inline constexpr const char* kR8 = "VT_R8";
inline constexpr const char* kBool = "VT_BOOL";
inline constexpr const char* kBstr = "VT_BSTR";
inline constexpr const char* kEmpty = "VT_EMPTY";
inline constexpr const char* kNullDispatch = "VT_DISPATCH null";
inline constexpr const char* kRefI4 = "VT_BYREF|VT_I4";
inline constexpr const char* kRefR8 = "VT_BYREF|VT_R8";
inline constexpr const char* kRefBstr = "VT_BYREF|VT_BSTR";
inline constexpr const char* kRefDispatch = "VT_BYREF|VT_DISPATCH";
inline constexpr const char* kRefNullDispatch = "VT_BYREF|VT_DISPATCH null";
inline constexpr const char* kArrayI4 = "VT_ARRAY|VT_I4";
} // namespace vt

/// One call into the host, or one name lookup that went to it, as it ended.
struct HostCall
{
    HostCall(const char* objectIn, std::string memberIn, bool lookupIn = false)
        : object(objectIn), member(std::move(memberIn)), lookup(lookupIn)
    {
    }

    const char* object = "";            ///< the object's kind (host/object_kinds.h)
    std::string member;                 ///< as the host spells it
    bool lookup = false;                ///< a name lookup rather than a call
    std::optional<std::int32_t> dispid; ///< what the member was called by, where calls go by DISPID
    std::optional<std::uint16_t> flags; ///< how it was invoked (DISPATCH_METHOD ...), where calls are invoked
    std::vector<std::string> args;      ///< argument types in the member's own order (vt names)
    std::int32_t hr = 0;                ///< the HRESULT the call answered; 0 for success
    std::optional<std::string> text;    ///< the host's description of a failure (EXCEPINFO), UTF-8
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::duration duration{};
};

/// Hears every call into the host. The host side calls it once per call, after the call returned or failed;
/// it must not throw and must not call into the host.
class CallObserver
{
public:
    CallObserver() = default;
    CallObserver(const CallObserver&) = delete;
    CallObserver& operator=(const CallObserver&) = delete;
    virtual ~CallObserver() = default;

    virtual void HostCalled(const HostCall& call) noexcept = 0;
};

} // namespace host
