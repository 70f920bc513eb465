// simhost's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace simhost
{

/// The event simhost waits on unless told another name.
inline constexpr const wchar_t* kDefaultStopEvent = L"GlattmarkSimHostStop";
/// Seconds without a call after which simhost stops unless told otherwise.
inline constexpr int kDefaultIdleSeconds = 60;

struct Options
{
    std::wstring sessionPath;
    std::wstring outPath;   ///< where the session goes after the stop (default: sessionPath)
    std::wstring readyFile; ///< written once the session is served; "" for none
    std::wstring stopFile;  ///< its appearance stops the server; "" for none
    std::wstring stopEvent = kDefaultStopEvent;
    int idleSeconds = kDefaultIdleSeconds; ///< 0: never stop for want of calls
    bool takeOver = false;                 ///< serve even where HKLM maps the ProgID to another class
    bool help = false;
};

struct CommandLine
{
    std::optional<Options> options; ///< nothing when the command line is unusable
    std::wstring error;             ///< why, in German
};

CommandLine ParseCommandLine(const std::vector<std::wstring>& args);

/// The --help text, in German.
std::wstring Usage();

} // namespace simhost
