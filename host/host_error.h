// The one failure a call into the CAD host can raise, and the one way an indispensable object that the
// host answered as nothing becomes that failure.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace host
{

/// A host call that failed: a COM error (its HRESULT) on Windows, an injected fault in the simulated
/// session, an object the program cannot do without that the host answered as nothing (kNoObject), or a
/// call the program cannot go on from that the host answered false (kRefused).
/// A call that may answer nothing returns a null pointer; only Require turns that into an Error.
class Error : public std::runtime_error
{
public:
    /// member: the host member that failed or answered nothing, as the host spells it ("GetCurrentSheet").
    /// detail: what happened, in words for a developer; what() is "member: detail".
    Error(std::int32_t code, std::string member, const std::string& detail)
        : std::runtime_error(member + ": " + detail), m_code(code), m_member(std::move(member))
    {
    }

    /// HRESULT of the failed call (E_FAIL and friends), or kNoObject.
    std::int32_t Code() const noexcept { return m_code; }
    /// The member that failed.
    const std::string& Member() const noexcept { return m_member; }

private:
    std::int32_t m_code;
    std::string m_member;
};

// HRESULT values the adapters report, spelled out so the portable code needs no Windows header.
inline constexpr std::int32_t kDispException = static_cast<std::int32_t>(0x80020009u);     // DISP_E_EXCEPTION
inline constexpr std::int32_t kRpcDisconnected = static_cast<std::int32_t>(0x80010108u);   // RPC_E_DISCONNECTED
inline constexpr std::int32_t kServerUnavailable = static_cast<std::int32_t>(0x800401E3u); // MK_E_UNAVAILABLE
inline constexpr std::int32_t kCallRejected = static_cast<std::int32_t>(0x80010001u);      // RPC_E_CALL_REJECTED
inline constexpr std::int32_t kRetryLater = static_cast<std::int32_t>(0x8001010Au); // RPC_E_SERVERCALL_RETRYLATER

/// The host answered nothing where the program cannot go on without an object. A customer-defined
/// HRESULT (customer bit set, FACILITY_ITF), so it can never be mistaken for a code the host or COM
/// raised itself.
inline constexpr std::int32_t kNoObject = static_cast<std::int32_t>(0xA0040001u);
/// The host answered false where the program cannot go on (a name another annotation already bears).
inline constexpr std::int32_t kRefused = static_cast<std::int32_t>(0xA0040002u);

/// The host was busy and refused the call for longer than the busy limit: nothing of the call was done.
inline bool IsBusy(const Error& error)
{
    return error.Code() == kCallRejected || error.Code() == kRetryLater;
}

/// Passes object on; nothing becomes Error(kNoObject) naming the member that answered it. For objects the
/// next statement works on (a sheet to read, an annotation that gets the row's name, a format to fill).
template <typename T> std::shared_ptr<T> Require(std::shared_ptr<T> object, const char* member)
{
    if (!object)
        throw Error(kNoObject, member, "answered no object");
    return object;
}

/// Nothing when the host answered true; false becomes Error(kRefused) naming the member.
inline void RequireTrue(bool answer, const char* member)
{
    if (!answer)
        throw Error(kRefused, member, "answered false");
}

} // namespace host
