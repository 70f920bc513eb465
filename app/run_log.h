// The log of host calls that a user turns on in the field ([main] LogFile in glattmark.ini, or
// glattmark-sim --log): what the CAD host answered, call by call, so that the first failure against a real
// host can be understood from one file the user sends.
//
// One JSON object per line, UTF-8, appended to, so that one file holds several runs:
//   {"event":"start","version","time","ini","user","document"}   one per run, first
//   {"t","object","member","dispid","flags","args","hr","text","ms"}   one per host call
//   {"t","object","member","lookup":true,"dispid","hr","ms"}   one per name lookup that went to the host
//   {"event":"message","window","text"}   every message shown
//   {"event":"end","status","ending"}   last
// "t" is milliseconds since the log was opened, "ms" how long the call took; "dispid" and "flags" come
// only from calls sent through IDispatch. Values of arguments are never written, only their types: the
// drawing's contents stay in the drawing.
//
// A log that cannot be opened or written is dropped, and the run goes on as it would without one.
#pragma once

#include "host/call_log.h"
#include "ui/message_window.h"

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace app
{

/// What the start line tells about the run besides the document.
struct RunLogStart
{
    std::string version;
    std::wstring ini;  ///< the configuration file the run reads
    std::wstring user; ///< the login name
};

class RunLog final : public host::CallObserver
{
public:
    RunLog() = default;

    /// Opens path for appending. False, and no log, when it cannot be opened, and when it is the configuration
    /// file start.ini or its file of defaults: lines appended there would become part of the configuration.
    bool Open(const std::wstring& path, RunLogStart start);
    bool IsOpen() const { return m_file.is_open(); }

    /// Writes the start line with the drawing's file (nothing: none is known), then the lines held back
    /// until now. Until it is called, or the run ends without it, lines are held back.
    void Start(const std::optional<std::wstring>& document);
    /// window: "error" (the error object's window) or "messagebox" (the Normfix report).
    void Message(const char* window, const std::wstring& text);
    /// The last line: the exit status and how the run ended ("ok", "cancel", "close", "error"). Closes the log.
    void End(int status, const std::string& ending);

    void HostCalled(const host::HostCall& call) noexcept override;

private:
    /// Writes line, or holds it back until the start line is written.
    void Write(std::string line);

    std::ofstream m_file;
    std::chrono::steady_clock::time_point m_opened;
    RunLogStart m_start;
    bool m_started = false;
    std::vector<std::string> m_held; ///< lines before the start line
};

/// The error object's window, with every message it shows written to the log as well.
class LoggedMessageWindow final : public ui::MessageWindow
{
public:
    LoggedMessageWindow(ui::MessageWindow& shown, RunLog& log) : m_shown(shown), m_log(log) {}

    void ShowModeless(const std::wstring& caption, const ui::IconId& icon, const std::wstring& text,
                      ui::MessageWindowEvents& events) override;
    /// The same message again, modally: not written a second time.
    void ShowModal() override { m_shown.ShowModal(); }

private:
    ui::MessageWindow& m_shown;
    RunLog& m_log;
};

/// The report box, with every message it shows written to the log as well.
class LoggedReportBox final : public ui::ReportBox
{
public:
    LoggedReportBox(ui::ReportBox& shown, RunLog& log) : m_shown(shown), m_log(log) {}

    void Show(const std::wstring& caption, const std::wstring& text) override;

private:
    ui::ReportBox& m_shown;
    RunLog& m_log;
};

/// Where the log goes: file as the configuration names it, relative to the folder of the configuration file
/// iniPath unless absolute (a leading "\\" or "/", or a drive "C:"). Both separators count, as on Windows.
std::wstring LogPathBesideIni(const std::wstring& file, const std::wstring& iniPath);

} // namespace app
