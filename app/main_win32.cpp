// glattmark.exe: the program on Windows. Puts the Win32 windows, GDI measuring, the profile functions and
// the COM connection behind the ports, loads the main dialog and runs its messages until the run ends.
//
// Exit status: 0 after "Ok", "Abbruch" or the close box; 1 when an error message ended the run (a call the
// host hung in and the user gave up included).

#include "app/frm_main.h"
#include "app/hang_window_win32.h"
#include "app/main_dialog_win32.h"
#include "app/run.h"
#include "config/profile_win32.h"
#include "config/settings.h"
#include "host/com/com_connector.h"
#include "host/com/com_resources.h"
#include "host/com/message_filter.h"
#include "symbols/text_measurer_gdi.h"
#include "ui/message_window_win32.h"
#include "ui/platform_win32.h"
#include "win32/win32.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace
{

int RunProgram()
{
    // Made first and so gone last: every host reference the run holds is released before the apartment ends.
    const host::com::ComApartment apartment;

    ui::Win32Platform platform;
    ui::Win32MessageWindow messageWindow(platform);
    ui::Win32ReportBox reportBox;
    symbols::GdiMeasurer measurer;
    config::Win32ProfileStore profiles;
    // A call the host hangs in cannot be unwound (Wine ends the wait only when the host answers): after
    // "Abbrechen" the program shows the host failure and ends its own process, releasing nothing.
    app::frmMain* abandoning = nullptr;
    app::RunLog* abandoningLog = nullptr;
    app::Win32HangWindow hangWindow(app::kCaption, app::kIconId, [&abandoning, &abandoningLog] {
        if (abandoning)
            abandoning->AbandonHungHost();
        if (abandoningLog)
            abandoningLog->End(app::kExitErrorShown, "error");
        ExitProcess(app::kExitErrorShown);
    });
    host::com::ComConnector connector(&hangWindow);
    // For the whole run: a busy host's refusals and a hung call reach the connection's guard.
    const host::com::MessageFilterRegistration filter(connector.Guard());
    const app::Ports ports{messageWindow, reportBox, platform, measurer, profiles, connector};
    // On the heap: the run holds the fixed-capacity symbol lists.
    // The INI file bears the executable's name: glattmark.ini beside glattmark.exe.
    const auto run =
        std::make_unique<app::Run>(ports, config::IniPathBesideExecutable(platform.ExecutablePath(), L'\\'));

    app::Win32DialogView view;
    app::frmMain form(*run, view);
    abandoning = &form;
    abandoningLog = &run->log;
    const int status = app::RunWindowsProgram(*run, view, form);
    run->log.End(status, form.RunEnding() == app::Ending::None ? "error" : app::EndingName(form.RunEnding()));
    return status;
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try
    {
        return RunProgram();
    }
    catch (...)
    {
        // Not even the windows could be made, or the apartment entered: the system's message box is all
        // that is left.
        MessageBoxW(nullptr, app::kUnexpectedUntouched, app::kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return app::kExitErrorShown;
    }
}
