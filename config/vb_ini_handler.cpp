#include "config/vb_ini_handler.h"

#include "ui/conversions.h"

namespace config
{

namespace
{

constexpr const wchar_t* kRemoteSection = L"Remote";
constexpr const wchar_t* kRemoteActive = L"Active";
constexpr const wchar_t* kRemoteFile = L"file";

/// The path with its last three characters replaced (tool.ini -> tool.cfg). A path of fewer than three
/// characters has no such ending to replace.
std::wstring ReplaceLastThree(const std::wstring& path, const wchar_t* ending)
{
    if (path.size() < 3)
        throw ui::InvalidArgumentError("INI path shorter than three characters");
    return path.substr(0, path.size() - 3) + ending;
}

} // namespace

void vbIniHandler::ConfigureRAW(const std::wstring& filename, const std::wstring& section)
{
    if (!filename.empty())
        iniFile = filename;
    if (!section.empty())
        iniSection = section;
}

void vbIniHandler::ConfigureSWX(host::Application& swAppIni, const std::wstring& section)
{
    iniFile = ReplaceLastThree(swAppIni.GetCurrentMacroPathName(), L"ini");
    Configure(std::wstring(iniFile), section);
}

void vbIniHandler::Configure(const std::wstring& filename, const std::wstring& section)
{
    if (!filename.empty())
    {
        iniFile = filename;
        cfgFile = ReplaceLastThree(iniFile, L"cfg");

        const std::wstring remembered = iniSection;
        iniSection = kRemoteSection;
        std::int32_t active = 0;
        GetVal(kRemoteActive, active, 0);
        if (active != 0)
            iniSection = kRemoteSection + ui::Format00(active);

        std::wstring target;
        GetStr(kRemoteFile, target, L"");
        if (!target.empty())
        {
            const wchar_t separator = m_store.PathSeparator();
            if (target.find(separator) != std::wstring::npos)
            {
                iniFile = target;
            }
            else
            {
                // The folder ends before the last separator; a separator only at the very start leaves
                // it empty, and the file then lands at the root.
                const std::size_t last = iniFile.rfind(separator);
                const std::wstring folder = last == std::wstring::npos ? std::wstring() : iniFile.substr(0, last);
                iniFile = folder + separator + target;
            }
            cfgFile = ReplaceLastThree(iniFile, L"cfg");
        }
        iniSection = remembered;
    }
    if (!section.empty())
        iniSection = section;
}

std::wstring vbIniHandler::GStr(const std::wstring& prop)
{
    std::wstring value;
    GetStr(prop, value, L"");
    return value;
}

bool vbIniHandler::GBool(const std::wstring& prop)
{
    bool value = false;
    GetBool(prop, value, false);
    return value;
}

std::int32_t vbIniHandler::GVal(const std::wstring& prop)
{
    std::int32_t value = 0;
    GetVal(prop, value, 0);
    return value;
}

void vbIniHandler::GetVal(const std::wstring& prop, std::int32_t& value, std::int32_t defaultValue)
{
    GetStr(prop, lastValue, L"");
    if (lastValue.empty())
        value = defaultValue;
    else
        value = ui::RoundToInt32(ui::LeadingNumber(lastValue));
}

void vbIniHandler::SetVal(const std::wstring& prop, std::int32_t value)
{
    SetStr(prop, std::to_wstring(value));
}

void vbIniHandler::GetDbl(const std::wstring& prop, double& value, double defaultValue)
{
    GetStr(prop, lastValue, L"");
    if (lastValue.empty())
        value = defaultValue;
    else
        value = ui::LeadingNumber(ui::ReplaceAll(lastValue, L",", L"."));
}

void vbIniHandler::GetBool(const std::wstring& prop, bool& value, bool defaultValue)
{
    GetStr(prop, lastValue, L"");
    const std::wstring upper = ui::UCase(lastValue);
    if (upper == L"0")
        value = false;
    else if (upper == L"1")
        value = true;
    else if (upper.empty() || upper == L"-")
        value = defaultValue;
    else if (upper == L"TRUE" || upper == L"WAHR")
        value = true;
    else if (upper == L"FALSE" || upper == L"FALSCH")
        value = false;
    else
        value = defaultValue;
}

void vbIniHandler::SetBool(const std::wstring& prop, bool value)
{
    SetStr(prop, value ? L"1" : L"0");
}

void vbIniHandler::SetStr(const std::wstring& prop, const std::wstring& value)
{
    m_store.WriteString(iniSection, prop, value, iniFile);
}

void vbIniHandler::GetStr(const std::wstring& prop, std::wstring& value, const std::wstring& defaultValue)
{
    std::wstring text;
    lastLength = m_store.GetString(iniSection, prop, std::nullopt, text, kReadBufferSize, iniFile);
    if (lastLength > 0)
    {
        value = text.substr(0, static_cast<std::size_t>(lastLength));
        return;
    }
    // Without a file of defaults (only after ConfigureRAW alone) there is nothing to fall back on.
    if (!cfgFile.empty())
    {
        text.clear();
        lastLength = m_store.GetString(iniSection, prop, std::nullopt, text, kReadBufferSize, cfgFile);
        if (lastLength > 0)
        {
            value = text.substr(0, static_cast<std::size_t>(lastLength));
            // The INI file is completed from the file of defaults; a failed write goes unnoticed.
            m_store.WriteString(iniSection, prop, value, iniFile);
            return;
        }
    }
    value = defaultValue;
}

void vbIniHandler::DeleteValue(const std::wstring& prop)
{
    m_store.WriteString(iniSection, prop, std::nullopt, iniFile);
}

void vbIniHandler::DeleteSection()
{
    m_store.WriteString(iniSection, std::nullopt, std::nullopt, iniFile);
}

std::vector<std::wstring> vbIniHandler::KeyNames()
{
    std::vector<std::wstring> names = m_store.GetKeyNames(iniSection, iniFile);
    if (!cfgFile.empty())
    {
        std::vector<std::wstring> defaults = m_store.GetKeyNames(iniSection, cfgFile);
        names.insert(names.end(), defaults.begin(), defaults.end());
    }
    return names;
}

} // namespace config
