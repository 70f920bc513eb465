// simhost: serves a session file of the simulated CAD session as the running CAD session of this
// Windows (or Wine) machine, so that glattmark.exe and the adapter's tests reach it as they reach the
// real one: ProgID "SldWorks.Application", the running object table, the class object that hands out the
// served application to CreateObject, IDispatch across processes.
//
// It stops on a stop file, a named event, or after a time without calls; then it leaves the running
// object table, cuts its objects off from every client, and writes the session back with its stats.
// See Usage() for the command line.

#include "host/com/com_resources.h"
#include "host/sim/sim_session.h"
#include "host/sw_access.h"
#include "tools/simhost/active_object.h"
#include "tools/simhost/class_object.h"
#include "tools/simhost/command_line.h"
#include "tools/simhost/dispatch_server.h"
#include "ui/conversions.h"
#include "win32/handles.h"

#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

constexpr int kExitClean = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUnusable = 2;
constexpr int kExitProgIdTaken = 3;
/// How often the stop file and the idle time are looked at while no message arrives.
constexpr DWORD kPollMilliseconds = 100;

void Say(const std::wstring& text)
{
    std::fputs(("simhost: " + ui::ToUtf8(text) + "\n").c_str(), stderr);
    std::fflush(stderr);
}

/// Writes text beside path and renames it over path, so that a reader never sees half a file.
bool WriteWhole(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::path temporary = path;
    temporary += L".schreiben";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out)
            return false;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

/// Serves until a stop is asked for; returns why it stopped ("event", "file", "idle", "quit").
std::string Serve(const simhost::Options& options, const simhost::DispatchServer& server, HANDLE stopEvent)
{
    const auto idle = std::chrono::seconds(options.idleSeconds);
    std::error_code ignored;
    for (;;)
    {
        // Calls into a single-threaded apartment arrive as window messages.
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &stopEvent, kPollMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return "event";
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
                return "quit";
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!options.stopFile.empty() && std::filesystem::exists(options.stopFile, ignored))
            return "file";
        if (options.idleSeconds > 0 && std::chrono::steady_clock::now() - server.LastActivity() > idle)
            return "idle";
    }
}

int RunSimHost(const std::vector<std::wstring>& args)
{
    const simhost::CommandLine commandLine = simhost::ParseCommandLine(args);
    if (!commandLine.options)
    {
        Say(commandLine.error);
        Say(L"Aufruf: simhost SITZUNG.json [Optionen]; alle Optionen: simhost --help");
        return kExitUnusable;
    }
    const simhost::Options& options = *commandLine.options;
    if (options.help)
    {
        std::fputs(ui::ToUtf8(simhost::Usage()).c_str(), stdout);
        return kExitClean;
    }

    std::shared_ptr<host::sim::SimSession> session;
    try
    {
        session = host::sim::SimSession::Load(std::filesystem::path(options.sessionPath));
    }
    catch (const host::sim::SessionFileError& error)
    {
        Say(L"Sitzungsdatei unbrauchbar: " + options.sessionPath + L": " + ui::FromUtf8(error.what()));
        return kExitUnusable;
    }

    std::error_code ignored;
    if (!options.stopFile.empty())
        std::filesystem::remove(options.stopFile, ignored);
    const win32::UniqueHandle stopEvent(CreateEventW(nullptr, TRUE, FALSE, options.stopEvent.c_str()));
    if (!stopEvent)
    {
        Say(L"Ereignis kann nicht angelegt werden: " + options.stopEvent);
        return kExitFailed;
    }

    // A machine where the ProgID belongs to another class (the real host installed) keeps it.
    const std::wstring machineClass = simhost::MachineClassOf(host::kProgId);
    wchar_t ours[40] = {};
    StringFromGUID2(simhost::kSimHostClsid, ours, 40);
    if (!options.takeOver && !machineClass.empty() &&
        CompareStringOrdinal(machineClass.c_str(), -1, ours, -1, TRUE) != CSTR_EQUAL)
    {
        Say(L"Die ProgID " + std::wstring(host::kProgId) + L" geh\u00f6rt hier der Klasse " + machineClass +
            L"; simhost \u00fcbernimmt sie nur mit --take-over.");
        return kExitProgIdTaken;
    }

    const host::com::ComApartment apartment;
    const auto server = simhost::DispatchServer::Create(session, simhost::FailureText::AtOnce);
    server->SetStopCheck([&options, &stopEvent] {
        std::error_code unknown;
        return WaitForSingleObject(stopEvent.Get(), 0) == WAIT_OBJECT_0 ||
               (!options.stopFile.empty() && std::filesystem::exists(options.stopFile, unknown));
    });
    std::string reason;
    {
        // Taken back however the serving ends: a machine is left as simhost found it.
        const struct Registration
        {
            simhost::ProgIdBefore before = simhost::RegisterProgId(host::kProgId, simhost::kSimHostClsid);
            ~Registration() { simhost::UnregisterProgId(host::kProgId, simhost::kSimHostClsid, before); }
        } registration;
        // "running": false leaves the ProgID registered and the table empty: installed, not running.
        std::optional<simhost::RunningObject> running;
        std::optional<simhost::ServedClass> served;
        if (session->Running())
        {
            running.emplace(server->Application().Get(), simhost::kSimHostClsid);
            served.emplace(simhost::kSimHostClsid, [&server] { return server->Application(); });
        }
        if (running && running->SharesTheTable())
            Say(L"Warnung: eine andere Sitzung steht schon in der Running Object Table; Clients finden "
                L"vielleicht jene.");
        if (!options.readyFile.empty() && !WriteWhole(options.readyFile, std::to_string(GetCurrentProcessId()) + "\n"))
        {
            Say(L"Bereit-Datei kann nicht geschrieben werden: " + options.readyFile);
            return kExitFailed;
        }

        reason = Serve(options, *server, stopEvent.Get());
        server->SetStopReason(reason);
        if (running)
            running->Revoke();
        if (served)
            served->Revoke();
        server->DisconnectAll();
    }
    if (!options.readyFile.empty())
        std::filesystem::remove(options.readyFile, ignored);

    if (!WriteWhole(options.outPath, server->SessionWithStats()))
    {
        Say(L"Sitzung kann nicht geschrieben werden: " + options.outPath);
        return kExitFailed;
    }
    return kExitClean;
}

} // namespace

int main()
{
    SetConsoleOutputCP(CP_UTF8);
    try
    {
        int count = 0;
        LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &count);
        std::vector<std::wstring> args;
        for (int i = 1; raw && i < count; ++i)
            args.emplace_back(raw[i]);
        LocalFree(raw);
        return RunSimHost(args);
    }
    catch (const std::exception& error)
    {
        Say(L"Unerwarteter Fehler: " + ui::FromUtf8(error.what()));
    }
    catch (...)
    {
        Say(L"Unerwarteter Fehler.");
    }
    return kExitFailed;
}
