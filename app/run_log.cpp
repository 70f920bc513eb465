#include "app/run_log.h"

#include "ui/conversions.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

namespace app
{

namespace
{

using Line = nlohmann::ordered_json;

/// Milliseconds, to the microsecond.
double Milliseconds(std::chrono::steady_clock::duration duration)
{
    const double ms = std::chrono::duration<double, std::milli>(duration).count();
    return std::round(ms * 1000.0) / 1000.0;
}

std::string Hex(std::int32_t hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
    return text;
}

/// Now, in UTC, as ISO 8601 ("2026-12-08T04:40:46Z").
std::string UtcNow()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* utc = std::gmtime(&now); // one thread: the shared buffer is ours
    char text[32] = "";
    if (utc)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    return text;
}

/// Text from the host or the user may hold anything; what is no UTF-8 is replaced, never a reason to stop.
std::string Dump(const Line& line)
{
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::filesystem::path PathOf(const std::wstring& text)
{
    const std::string utf8 = ui::ToUtf8(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

/// True when a and b name one existing file, however spelt.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

} // namespace

bool RunLog::Open(const std::wstring& path, RunLogStart start)
{
    const std::filesystem::path file = PathOf(path);
    const std::filesystem::path ini = PathOf(start.ini);
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored) || SameFile(file, ini) ||
        SameFile(file, std::filesystem::path(ini).replace_extension(".cfg")))
        return false;
    m_file.open(file, std::ios::binary | std::ios::app);
    if (!m_file.is_open())
        return false;
    m_opened = std::chrono::steady_clock::now();
    m_start = std::move(start);
    return true;
}

void RunLog::Start(const std::optional<std::wstring>& document)
{
    if (!IsOpen() || m_started)
        return;
    Line line = {{"event", "start"},
                 {"version", m_start.version},
                 {"time", UtcNow()},
                 {"ini", ui::ToUtf8(m_start.ini)},
                 {"user", ui::ToUtf8(m_start.user)},
                 {"document", document ? Line(ui::ToUtf8(*document)) : Line(nullptr)}};
    m_started = true;
    Write(Dump(line));
    for (std::string& held : std::exchange(m_held, {}))
        Write(std::move(held));
}

void RunLog::Message(const char* window, const std::wstring& text)
{
    if (IsOpen())
        Write(Dump(Line{{"event", "message"}, {"window", window}, {"text", ui::ToUtf8(text)}}));
}

void RunLog::End(int status, const std::string& ending)
{
    if (!IsOpen())
        return;
    Start(std::nullopt);
    Write(Dump(Line{{"event", "end"}, {"status", status}, {"ending", ending}}));
    m_file.close();
}

void RunLog::HostCalled(const host::HostCall& call) noexcept
{
    if (!IsOpen())
        return;
    try
    {
        Line line = {{"t", Milliseconds(call.started - m_opened)}, {"object", call.object}, {"member", call.member}};
        if (call.lookup)
            line["lookup"] = true;
        if (call.dispid)
            line["dispid"] = *call.dispid;
        if (call.flags)
            line["flags"] = *call.flags;
        if (!call.lookup)
            line["args"] = call.args;
        line["hr"] = Hex(call.hr);
        if (call.text)
            line["text"] = *call.text;
        line["ms"] = Milliseconds(call.duration);
        Write(Dump(line));
    }
    catch (...)
    {
        // No memory for one line: the log goes without it; the call itself is no business of the log's.
    }
}

void RunLog::Write(std::string line)
{
    if (!m_started)
    {
        m_held.push_back(std::move(line));
        return;
    }
    // Each line reaches the file at once: a run that hangs or dies still leaves its calls up to there.
    m_file << line << '\n';
    m_file.flush();
    if (!m_file)
        m_file.close(); // a log that cannot be written is dropped
}

void LoggedMessageWindow::ShowModeless(const std::wstring& caption, const ui::IconId& icon, const std::wstring& text,
                                       ui::MessageWindowEvents& events)
{
    m_log.Message("error", text);
    m_shown.ShowModeless(caption, icon, text, events);
}

void LoggedReportBox::Show(const std::wstring& caption, const std::wstring& text)
{
    m_log.Message("messagebox", text);
    m_shown.Show(caption, text);
}

std::wstring LogPathBesideIni(const std::wstring& file, const std::wstring& iniPath)
{
    const bool absolute = (!file.empty() && IsSeparator(file[0])) || (file.size() >= 2 && file[1] == L':');
    if (absolute)
        return file;
    const auto last = iniPath.find_last_of(L"\\/");
    return last == std::wstring::npos ? file : iniPath.substr(0, last + 1) + file;
}

} // namespace app
