#include "config/settings.h"

#include "ui/conversions.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace config
{

namespace
{

/// The configuration cannot be used; loading stops where it was found.
class BadConfiguration
{
};

/// A count that lies above its list's capacity leaves the count at 0 and stops loading.
void CheckCount(std::int32_t& count, std::int32_t capacity)
{
    if (count > capacity)
    {
        count = 0;
        throw BadConfiguration();
    }
}

/// The stored 1-based "Standard" as a 0-based index; the classic 32-bit subtraction overflows below
/// the smallest value.
std::int32_t ZeroBased(std::int32_t oneBased)
{
    if (oneBased == INT32_MIN)
        throw ui::OverflowError("Standard below the 32-bit range");
    return oneBased - 1;
}

/// A number of seconds: absent, empty, not beginning with a number, or negative gives defaultSeconds.
void GetSeconds(vbIniHandler& ini, const std::wstring& key, std::int32_t& seconds, std::int32_t defaultSeconds)
{
    ini.GetVal(key, seconds, defaultSeconds);
    const std::wstring& text = ini.lastValue;
    const auto first = text.find_first_not_of(L" \t");
    const bool isNumber =
        first != std::wstring::npos && ((text[first] >= L'0' && text[first] <= L'9') || text[first] == L'.');
    if (!isNumber || seconds < 0)
        seconds = defaultSeconds;
}

/// The user keys are named this followed by their number in the "00" format (user01, user99, user100).
constexpr std::wstring_view kUserKey = L"user";

/// The number of a user key, the name matched the way the profile functions match names; 0 for any other
/// name and for a number beyond 32 bits, which no count reaches.
std::int64_t UserKeyNumber(const std::wstring& name)
{
    const std::wstring upper = ui::UCase(name);
    const std::wstring prefix = ui::UCase(kUserKey);
    constexpr std::size_t kMostDigits = 10;
    if (upper.size() <= prefix.size() || upper.size() > prefix.size() + kMostDigits || !upper.starts_with(prefix))
        return 0;
    const std::wstring digits = upper.substr(prefix.size());
    std::int64_t number = 0;
    for (const wchar_t c : digits)
    {
        if (c < L'0' || c > L'9')
            return 0;
        number = number * 10 + (c - L'0');
    }
    if (number > INT32_MAX || digits != ui::Format00(number))
        return 0;
    return number;
}

/// How far the search for the login name among the user keys has to go. A key neither file holds reads
/// as the empty text, so past the highest one they hold only an empty login name can match, and it does
/// at the first key after it: the search ends there with the result the full count would give, and a
/// count typed one digit too long no longer reads keys for hours.
std::int32_t LastUserKeyWorthReading(vbIniHandler& ini, std::int32_t count)
{
    std::int64_t highest = 0;
    for (const std::wstring& name : ini.KeyNames())
        highest = std::max(highest, UserKeyNumber(name));
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, highest + 1));
}

void ReadSettings(vbIniHandler& ini, const std::wstring& iniPath, ui::Platform& platform, Settings& s)
{
    ini.Configure(iniPath, L"main");
    ini.GetVal(L"FormatCount", s.formatCount, 0);
    CheckCount(s.formatCount, kFormatCapacity);
    ini.GetDbl(L"BracketBase", s.bracketBase, 0);
    ini.GetVal(L"HAlign", s.hAlign, 0);
    ini.GetVal(L"Sort", s.sortSymbols, 0);
    ini.GetVal(L"StandardType", s.standardType, 1);
    ini.GetVal(L"Form", s.rowForm, 0);
    ini.GetVal(L"Scope", s.scanScope, 0);
    GetSeconds(ini, L"BusyTimeout", s.busyTimeout, kDefaultBusyTimeout);
    GetSeconds(ini, L"HangTimeout", s.hangTimeout, kDefaultHangTimeout);

    // The log of host calls for the field.
    ini.GetStr(L"LogFile", s.logFile, L"");

    ini.Configure(L"", L"SymbolFont");
    ini.GetStr(L"FontName", s.symbolFontName, L"");
    ini.GetVal(L"FontHeight", s.symbolFontHeight, 0);

    ini.Configure(L"", L"BracketFont");
    ini.GetStr(L"FontName", s.bracketFontName, L"");
    ini.GetVal(L"FontHeight", s.bracketFontHeight, 0);

    for (std::int32_t i = 0; i < s.formatCount; ++i)
    {
        FormatEntry& format = s.formats[static_cast<std::size_t>(i)];
        ini.Configure(L"", L"Format" + ui::Format00(i + 1));
        ini.GetStr(L"Name", format.Name, L"");
        ini.GetVal(L"FormatCode", format.FormatCode, 0);
        ini.GetDbl(L"BasePointX", format.BasePointX, 0);
        ini.GetDbl(L"BasePointY", format.BasePointY, 0);
    }

    ini.Configure(L"", L"RoughList");
    ini.GetVal(L"Count", s.roughCount, 0);
    CheckCount(s.roughCount, kListCapacity);
    for (std::int32_t i = 0; i < s.roughCount; ++i)
        ini.GetStr(L"Rough" + ui::Format00(i + 1), s.roughList[static_cast<std::size_t>(i)], L"");
    ini.GetStr(L"Name", s.roughName, L"Ra");
    std::int32_t standard = 1;
    ini.GetVal(L"Standard", standard, 1);
    s.roughStandard = ZeroBased(standard);

    ini.Configure(L"", L"MethodeList");
    ini.GetVal(L"Count", s.methodeCount, 0);
    CheckCount(s.methodeCount, kListCapacity);
    for (std::int32_t i = 0; i < s.methodeCount; ++i)
        ini.GetStr(L"Methode" + ui::Format00(i + 1), s.methodeList[static_cast<std::size_t>(i)], L"");
    ini.GetVal(L"Standard", standard, 1);
    s.methodeStandard = ZeroBased(standard);

    ini.Configure(L"", L"NormFix");
    ini.GetBool(L"enabled", s.normFixEnabled, false);
    ini.GetBool(L"feedback", s.normFixFeedback, false);
    ini.GetVal(L"SuperUser", s.superUserCount, 0);

    // Only a listed super user may switch the correction off.
    s.normFixLocked = s.superUserCount != 0;
    if (s.superUserCount == 0 || !s.normFixEnabled)
        return;
    const std::wstring userName = ui::UCase(ui::GetUser(platform));
    const std::int32_t last = LastUserKeyWorthReading(ini, s.superUserCount);
    for (std::int64_t i = 1; i <= last; ++i)
    {
        if (ui::UCase(ini.GStr(std::wstring(kUserKey) + ui::Format00(i))) == userName)
        {
            s.normFixLocked = false;
            return;
        }
    }
}

} // namespace

void LoadSettings(vbIniHandler& iniHandler, const std::wstring& iniPath, ui::Platform& platform, Settings& settings,
                  ui::ErrorObject& cc)
{
    try
    {
        ReadSettings(iniHandler, iniPath, platform, settings);
    }
    catch (const BadConfiguration&)
    {
        cc.eBadIni();
    }
    catch (const ui::OverflowError&)
    {
        cc.eBadIni();
    }
    catch (const ui::InvalidArgumentError&)
    {
        // A path too short to be an INI file, here or through the redirection.
        cc.eBadIni();
    }
}

std::wstring IniPathBesideExecutable(const std::wstring& exePath, wchar_t separator)
{
    const std::size_t last = exePath.rfind(separator);
    const std::wstring folder = last == std::wstring::npos ? std::wstring() : exePath.substr(0, last + 1);
    std::wstring name = last == std::wstring::npos ? exePath : exePath.substr(last + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return folder + name + L".ini";
}

} // namespace config
