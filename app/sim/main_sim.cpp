// glattmark-sim: the whole program against a simulated CAD session read from a session file. The dialog
// is answered from the command line or in the terminal; afterwards the session is written back, with a
// transcript of what the user saw and a picture of the sheet when asked for.
//
// Exit status: 0 the run showed no error message, 1 it showed one (or a result could not be written),
// 2 the command line or the session file is unusable; the session file is then left as it was.

#include "app/frm_main.h"
#include "app/run.h"
#include "app/sim/sheet_svg.h"
#include "app/sim/sim_command_line.h"
#include "app/sim/sim_platform.h"
#include "app/sim/terminal_dialog.h"
#include "app/sim/terminal_posix.h"
#include "app/sim/transcript.h"
#include "config/profile_file.h"
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "symbols/text_measurer_freetype.h"
#include "ui/conversions.h"
#include "ui/message_window_terminal.h"
#include "ui/platform_posix.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

using app::sim::SimOptions;

constexpr int kExitClean = 0;
constexpr int kExitErrorShown = 1;
constexpr int kExitUnusable = 2;

/// A remark of glattmark-sim itself, told apart from the program's messages by its prefix.
void Say(const std::wstring& text)
{
    std::cerr << "glattmark-sim: " << ui::ToUtf8(text) << std::endl;
}

std::wstring DefaultIniPath(ui::Platform& platform)
{
    const std::filesystem::path executable(ui::ToUtf8(platform.ExecutablePath()));
    if (executable.empty())
        return L"glattmark.ini";
    return ui::FromUtf8((executable.parent_path() / "glattmark.ini").string());
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file)
        file << text;
    return static_cast<bool>(file);
}

/// The session file, or nothing (with the reason said) when there is none or the simulation refuses it.
std::shared_ptr<host::sim::SimSession> LoadSession(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
    {
        Say(L"Sitzungsdatei nicht gefunden: " + ui::FromUtf8(path));
        return nullptr;
    }
    try
    {
        return host::sim::SimSession::Load(path);
    }
    catch (const host::sim::SessionFileError& error)
    {
        Say(L"Sitzungsdatei unbrauchbar: " + ui::FromUtf8(path) + L": " + ui::FromUtf8(error.what()));
        return nullptr;
    }
}

/// 1 when the run showed an error message, as glattmark.exe's exit status says; else 0.
int RunStatus(const app::sim::Transcript& transcript)
{
    for (const app::sim::TranscriptMessage& message : transcript.messages)
    {
        if (message.window == "error")
            return kExitErrorShown;
    }
    return kExitClean;
}

/// The program's whole run: start-up, the dialog answered as the options say, and the run's end.
/// Returns what the user saw.
app::sim::Transcript RunProgram(const SimOptions& options, const std::shared_ptr<host::sim::SimSession>& session,
                                symbols::TextMeasurer& measurer)
{
    app::sim::Transcript transcript;
    ui::PosixPlatform posixPlatform;
    app::sim::SimPlatform platform(posixPlatform, options.user, options.decimal);
    config::FileProfileStore profiles(L'/');
    host::sim::SimConnector connector(session);
    ui::TerminalMessageWindow messageWindow(std::cerr,
                                            [&transcript](const std::wstring& caption, const std::wstring& text) {
                                                transcript.messages.push_back({"error", caption, text});
                                            });
    ui::TerminalReportBox reportBox(std::cerr, [&transcript](const std::wstring& caption, const std::wstring& text) {
        transcript.messages.push_back({"messagebox", caption, text});
    });

    const app::Ports ports{messageWindow, reportBox, platform, measurer, profiles, connector};
    const std::wstring iniPath = options.iniPath ? ui::FromUtf8(*options.iniPath) : DefaultIniPath(platform);
    // On the heap: the run holds the fixed-capacity symbol lists.
    const auto run = std::make_unique<app::Run>(ports, iniPath);
    run->txtCalc.AttachLog(&transcript.measurements);
    // The command line's file is relative to the working folder, the configuration's to its own.
    if (options.logPath)
        run->logFile = ui::FromUtf8(std::filesystem::absolute(*options.logPath).string());

    app::sim::SimDialogView view;
    app::frmMain form(*run, view);
    form.Form_Load();
    if (!form.Ended())
    {
        app::sim::ApplyAnswers(form, options);
        const bool interactive =
            options.interactive || (!app::sim::HasAnswerOption(options) && app::sim::StandardInputIsTerminal());
        const app::sim::SimAnswer answer =
            interactive ? app::sim::AskInTerminal(form, std::cin, std::cout) : options.answer;
        app::sim::LeaveDialog(form, answer);
    }
    // Every answer ends the run; should one ever not, the window is closed rather than left hanging.
    if (!form.Ended())
        form.Form_Unload();

    if (view.Proposal())
        transcript.dialog = app::sim::SnapshotOf(*view.Proposal());
    transcript.ending = app::EndingName(form.RunEnding());
    transcript.layout = app::sim::CaptureLayout(run->layout, run->list);
    run->log.End(RunStatus(transcript), transcript.ending);
    return transcript;
}

/// Writes the session back, the transcript and the picture as the options ask. Returns the exit status.
int WriteResults(const SimOptions& options, const host::sim::SimSession& session,
                 const app::sim::Transcript& transcript)
{
    int status = RunStatus(transcript);

    const std::string outPath = options.outPath ? *options.outPath : options.sessionPath;
    try
    {
        session.Save(outPath);
    }
    catch (const host::sim::SessionFileError& error)
    {
        Say(L"Sitzung konnte nicht geschrieben werden: " + ui::FromUtf8(error.what()));
        status = kExitErrorShown;
    }

    if (options.transcriptPath)
    {
        std::wstring error;
        if (!app::sim::WriteTranscript(*options.transcriptPath, transcript, error))
        {
            Say(error);
            status = kExitErrorShown;
        }
    }

    if (options.svgPath)
    {
        std::string svg;
        std::wstring reason;
        if (!app::sim::RenderSheetSvg(session.Model(), svg, reason))
            Say(L"Kein Bild: " + reason);
        else if (!WriteText(*options.svgPath, svg))
        {
            Say(L"Bild konnte nicht geschrieben werden: " + ui::FromUtf8(*options.svgPath));
            status = kExitErrorShown;
        }
    }
    return status;
}

int RunSim(const std::vector<std::string>& args)
{
    const app::sim::SimCommandLine commandLine = app::sim::ParseSimCommandLine(args);
    if (!commandLine.options)
    {
        Say(commandLine.error);
        Say(L"Aufruf: glattmark-sim SITZUNG.json [Optionen]; alle Optionen: glattmark-sim --help");
        return kExitUnusable;
    }
    const SimOptions& options = *commandLine.options;
    if (options.help)
    {
        std::cout << ui::ToUtf8(app::sim::SimUsage());
        return kExitClean;
    }

    const std::shared_ptr<host::sim::SimSession> session = LoadSession(options.sessionPath);
    if (!session)
        return kExitUnusable;

    std::unique_ptr<symbols::FreeTypeMeasurer> measurer;
    try
    {
        measurer = std::make_unique<symbols::FreeTypeMeasurer>();
    }
    catch (const std::exception& error)
    {
        Say(L"Schriften k\u00f6nnen nicht vermessen werden: " + ui::FromUtf8(error.what()));
        return kExitErrorShown;
    }

    const app::sim::Transcript transcript = RunProgram(options, session, *measurer);
    return WriteResults(options, *session, transcript);
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i)
            args.emplace_back(argv[i]);
        return RunSim(args);
    }
    catch (const std::exception& error)
    {
        Say(L"Unerwarteter Fehler: " + ui::FromUtf8(error.what()));
    }
    catch (...)
    {
        Say(L"Unerwarteter Fehler.");
    }
    return kExitErrorShown;
}
