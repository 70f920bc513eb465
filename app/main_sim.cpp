// glattmark-sim: the whole program against a simulated CAD session read from a session file. The dialog
// is answered from the command line or in the terminal; afterwards the session is written back, with a
// transcript of what the user saw and a picture of the sheet when asked for.
//
// Exit status: 0 the run showed no error message, 1 it showed one (or a result could not be written),
// 2 the command line or the session file is unusable; the session file is then left as it was.

#include "app/frm_main.h"
#include "app/run.h"
#include "app/sheet_svg.h"
#include "app/sim_command_line.h"
#include "app/sim_platform.h"
#include "app/terminal_dialog.h"
#include "app/terminal_posix.h"
#include "app/transcript.h"
#include "config/profile_file.h"
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "symbols/text_measurer_freetype.h"
#include "ui/conversions.h"
#include "ui/message_window_terminal.h"
#include "ui/platform_posix.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace
{

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

int RunSim(const std::vector<std::string>& args)
{
    const app::SimCommandLine commandLine = app::ParseSimCommandLine(args);
    if (!commandLine.options)
    {
        Say(commandLine.error);
        Say(L"Aufruf: glattmark-sim SITZUNG.json [Optionen]; alle Optionen: glattmark-sim --help");
        return kExitUnusable;
    }
    const app::SimOptions& options = *commandLine.options;
    if (options.help)
    {
        std::cout << ui::ToUtf8(app::SimUsage());
        return kExitClean;
    }

    std::error_code ignored;
    if (!std::filesystem::is_regular_file(options.sessionPath, ignored))
    {
        Say(L"Sitzungsdatei nicht gefunden: " + ui::FromUtf8(options.sessionPath));
        return kExitUnusable;
    }
    std::shared_ptr<host::sim::SimSession> session;
    try
    {
        session = host::sim::SimSession::Load(options.sessionPath);
    }
    catch (const host::sim::SessionFileError& error)
    {
        Say(L"Sitzungsdatei unbrauchbar: " + ui::FromUtf8(options.sessionPath) + L": " + ui::FromUtf8(error.what()));
        return kExitUnusable;
    }

    ui::PosixPlatform posixPlatform;
    app::SimPlatform platform(posixPlatform, options.user, options.decimal);
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
    config::FileProfileStore profiles(L'/');
    host::sim::SimConnector connector(session);

    app::Transcript transcript;
    ui::TerminalMessageWindow messageWindow(std::cerr,
                                            [&transcript](const std::wstring& caption, const std::wstring& text) {
                                                transcript.messages.push_back({"error", caption, text});
                                            });
    ui::TerminalReportBox reportBox(std::cerr, [&transcript](const std::wstring& caption, const std::wstring& text) {
        transcript.messages.push_back({"messagebox", caption, text});
    });

    const app::Ports ports{messageWindow, reportBox, platform, *measurer, profiles, connector};
    const std::wstring iniPath = options.iniPath ? ui::FromUtf8(*options.iniPath) : DefaultIniPath(platform);
    app::Run run(ports, iniPath);
    run.txtCalc.AttachLog(&transcript.measurements);

    app::SimDialogView view;
    app::frmMain form(run, view);
    form.Form_Load();
    if (!form.Ended())
    {
        app::ApplyAnswers(form, options);
        const bool interactive =
            options.interactive || (!app::HasAnswerOption(options) && app::StandardInputIsTerminal());
        const app::SimAnswer answer = interactive ? app::AskInTerminal(form, std::cin, std::cout) : options.answer;
        app::LeaveDialog(form, answer);
    }
    // Every answer ends the run; should one ever not, the window is closed rather than left hanging.
    if (!form.Ended())
        form.Form_Unload();

    if (view.Proposal())
        transcript.dialog = app::SnapshotOf(*view.Proposal());
    transcript.ending = app::EndingName(form.RunEnding());
    transcript.layout = app::CaptureLayout(run);

    int status = kExitClean;
    for (const app::TranscriptMessage& message : transcript.messages)
    {
        if (message.window == "error")
            status = kExitErrorShown;
    }

    const std::string outPath = options.outPath ? *options.outPath : options.sessionPath;
    try
    {
        session->Save(outPath);
    }
    catch (const host::sim::SessionFileError& error)
    {
        Say(L"Sitzung konnte nicht geschrieben werden: " + ui::FromUtf8(error.what()));
        status = kExitErrorShown;
    }

    if (options.transcriptPath)
    {
        std::wstring error;
        if (!app::WriteTranscript(*options.transcriptPath, transcript, error))
        {
            Say(error);
            status = kExitErrorShown;
        }
    }

    if (options.svgPath)
    {
        std::string svg;
        std::wstring reason;
        if (!app::RenderSheetSvg(nlohmann::json::parse(session->Serialize()), svg, reason))
            Say(L"Kein Bild: " + reason);
        else if (!WriteText(*options.svgPath, svg))
        {
            Say(L"Bild konnte nicht geschrieben werden: " + ui::FromUtf8(*options.svgPath));
            status = kExitErrorShown;
        }
    }
    return status;
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
