// The configuration values loaded at start-up.
#pragma once

#include "config/vb_ini_handler.h"
#include "ui/error_object.h"
#include "ui/platform.h"

#include <array>
#include <cstdint>
#include <string>

namespace config
{

/// Capacities of the configured lists.
inline constexpr std::int32_t kFormatCapacity = 11;
inline constexpr std::int32_t kListCapacity = 21;

/// "Form" = 1: the row lists, instead of the distinct symbols, one plain basic symbol ("the drawing shows
/// other requirements"). Any other value: the full list.
inline constexpr std::int32_t kSimplifiedForm = 1;
/// "Scope" = 1: the list covers the symbols of every sheet of the drawing. Any other value: the current
/// sheet only.
inline constexpr std::int32_t kWholeDrawing = 1;

/// "BusyTimeout": how long, in seconds, calls that a busy host refuses are repeated; 0: not at all.
inline constexpr std::int32_t kDefaultBusyTimeout = 30;
/// "HangTimeout": how long, in seconds, one host call may take before the user is asked whether to wait;
/// 0: for ever.
inline constexpr std::int32_t kDefaultHangTimeout = 15;

/// One known sheet format and where the row starts on it.
struct FormatEntry
{
    std::wstring Name;
    std::int32_t FormatCode = 0; ///< paper-size code, or width mm x 10000 + height mm for user sizes
    double BasePointX = 0;       ///< metres
    double BasePointY = 0;       ///< metres
};

struct Settings
{
    std::int32_t formatCount = 0;
    double bracketBase = 0; ///< metres
    std::int32_t hAlign = 0;
    std::int32_t sortSymbols = 0;
    std::int32_t standardType = 1;
    std::int32_t rowForm = 0;                       ///< kSimplifiedForm or the full list
    std::int32_t scanScope = 0;                     ///< kWholeDrawing or the current sheet
    std::int32_t busyTimeout = kDefaultBusyTimeout; ///< seconds a busy host's refusals are retried; 0: none
    std::int32_t hangTimeout =
        kDefaultHangTimeout; ///< seconds before a call that has not returned is reported; 0: never
    std::wstring logFile;    ///< the log of host calls: a file, relative to the INI file's folder; "": none
    std::wstring symbolFontName;
    std::int32_t symbolFontHeight = 0; ///< points
    std::wstring bracketFontName;
    std::int32_t bracketFontHeight = 0; ///< points
    std::array<FormatEntry, kFormatCapacity> formats;
    std::int32_t roughCount = 0;
    std::array<std::wstring, kListCapacity> roughList;
    std::wstring roughName = L"Ra";
    std::int32_t roughStandard = 0; ///< 0-based
    std::int32_t methodeCount = 0;
    std::array<std::wstring, kListCapacity> methodeList;
    std::int32_t methodeStandard = 0; ///< 0-based
    bool normFixEnabled = false;
    bool normFixFeedback = false;
    std::int32_t superUserCount = 0;
    bool normFixLocked = false;
};

/// Reads every setting from the INI file at iniPath through iniHandler, in a fixed order (each value found
/// only in the file of defaults is copied into the INI file as it is read). The platform gives the login
/// name that decides whether Normfix may be switched off. A count above its list's capacity, or a number
/// beyond 32 bits, records eBadIni in cc and stops loading; such a count is then held as 0, so that
/// nothing reads past a capacity.
void LoadSettings(vbIniHandler& iniHandler, const std::wstring& iniPath, ui::Platform& platform, Settings& settings,
                  ui::ErrorObject& cc);

/// The INI file beside the executable: its folder, the separator, its file name without the extension,
/// ".ini". A path without a separator gives the bare file name.
std::wstring IniPathBesideExecutable(const std::wstring& exePath, wchar_t separator);

} // namespace config
