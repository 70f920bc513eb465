// Typed reads (and writes) of one INI file, with a parallel file of defaults and a redirection.
#pragma once

#include "config/profile_store.h"
#include "host/cad_host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace config
{

/// Size of the read buffer, in characters: at most 127 characters of a value are delivered.
inline constexpr std::int32_t kReadBufferSize = 128;

/// Every read goes to iniFile/iniSection; a value missing or empty there is taken from cfgFile (the
/// same name ending in "cfg") and copied into iniFile at once. Configure follows a "Remote" redirection
/// once. Conversion failures (a number beyond 32 bits, a path too short) throw ui::OverflowError or
/// ui::InvalidArgumentError to the caller.
class vbIniHandler
{
public:
    explicit vbIniHandler(ProfileStore& store) : m_store(store) {}

    std::wstring iniFile;
    std::wstring iniSection;
    std::int32_t lastLength = 0; ///< characters delivered by the last profile read
    std::wstring lastValue;      ///< raw text of the last GetVal, GetDbl or GetBool
    std::wstring cfgFile;

    // Public operations in their slot order.
    void ConfigureRAW(const std::wstring& filename = L"", const std::wstring& section = L"");
    void ConfigureSWX(host::Application& swAppIni, const std::wstring& section = L"");
    void Configure(const std::wstring& filename = L"", const std::wstring& section = L"");
    std::wstring GStr(const std::wstring& prop);
    bool GBool(const std::wstring& prop);
    std::int32_t GVal(const std::wstring& prop);
    void GetVal(const std::wstring& prop, std::int32_t& value, std::int32_t defaultValue = 0);
    void SetVal(const std::wstring& prop, std::int32_t value);
    void GetDbl(const std::wstring& prop, double& value, double defaultValue = 0);
    void GetBool(const std::wstring& prop, bool& value, bool defaultValue = false);
    void SetBool(const std::wstring& prop, bool value);
    void SetStr(const std::wstring& prop, const std::wstring& value);
    void GetStr(const std::wstring& prop, std::wstring& value, const std::wstring& defaultValue = L"");
    void DeleteValue(const std::wstring& prop);
    void DeleteSection();

    /// The key names of iniSection in iniFile, then in cfgFile (none without one): every key a read of the
    /// section can find. Not one of the classic operations; it lets a caller bound a numbered search.
    std::vector<std::wstring> KeyNames();

private:
    ProfileStore& m_store;
};

} // namespace config
