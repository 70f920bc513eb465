// The one failure a call into the CAD host can raise.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace host
{

/// A host call that failed: a COM error (its HRESULT) on Windows, an injected fault in the simulated
/// session. "No object" is never an Error: calls that can answer nothing return a null pointer.
class Error : public std::runtime_error
{
public:
    Error(std::int32_t code, const std::string& what) : std::runtime_error(what), m_code(code) {}

    /// HRESULT of the failed call (E_FAIL and friends); the simulated session uses DISP_E_EXCEPTION
    /// for injected faults and RPC_E_DISCONNECTED once the host has "gone away".
    std::int32_t Code() const noexcept { return m_code; }

private:
    std::int32_t m_code;
};

// HRESULT values the adapters report, spelled out so the portable code needs no Windows header.
inline constexpr std::int32_t kDispException = static_cast<std::int32_t>(0x80020009u);
inline constexpr std::int32_t kRpcDisconnected = static_cast<std::int32_t>(0x80010108u);
inline constexpr std::int32_t kServerUnavailable = static_cast<std::int32_t>(0x800401E3u); // MK_E_UNAVAILABLE

} // namespace host
