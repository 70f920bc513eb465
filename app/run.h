// Everything one run of the program owns, held together by the entry point. Each layer gets from it only
// the pieces it uses: the settings loader its handler and settings, the calculation the list and the
// layout, the drawing operations a drawing::Work. Tests build it fresh for every case.
#pragma once

#include "app/run_log.h"
#include "config/profile_store.h"
#include "config/settings.h"
#include "config/vb_ini_handler.h"
#include "drawing/drawing_access.h"
#include "host/session_connector.h"
#include "host/sw_access.h"
#include "symbols/summary_calculation.h"
#include "symbols/symbol_list.h"
#include "symbols/text_measurer.h"
#include "ui/error_object.h"
#include "ui/message_window.h"
#include "ui/platform.h"

#include <memory>
#include <string>

namespace app
{

/// The platform pieces a run talks through.
struct Ports
{
    ui::MessageWindow& messageWindow;
    ui::ReportBox& reportBox;
    ui::Platform& platform;
    symbols::TextMeasurer& measurer;
    config::ProfileStore& profiles;
    host::SessionConnector& connector;
};

struct Run
{
    /// iniPath: the configuration file (glattmark.ini beside the executable unless told otherwise).
    /// The message windows of portsIn are the ones the user sees; the run's ports show through them and
    /// write every message to the log of host calls as well, when there is one.
    Run(const Ports& portsIn, std::wstring iniPathIn)
        : loggedWindow(portsIn.messageWindow, log),
          loggedReport(portsIn.reportBox, log), ports{loggedWindow,     loggedReport,     portsIn.platform,
                                                      portsIn.measurer, portsIn.profiles, portsIn.connector},
          iniPath(std::move(iniPathIn)), cc(loggedWindow), iniHandler(portsIn.profiles), txtCalc(portsIn.measurer)
    {
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    /// The connection outlives the run; it stops telling the run's log.
    ~Run() { ports.connector.ObserveCalls(nullptr); }

    RunLog log; ///< the log of host calls; closed unless the configuration (or logFile) names one
    LoggedMessageWindow loggedWindow;
    LoggedReportBox loggedReport;
    Ports ports;
    std::wstring iniPath;
    std::wstring logFile; ///< when not empty, the log of host calls goes here, whatever the configuration says
    ui::ErrorObject cc;
    config::Settings settings;
    config::vbIniHandler iniHandler;
    std::unique_ptr<host::swAccess> swAcc; ///< the session object; nothing before start-up and after the end
    symbols::SymbolList list;
    symbols::MeasuringSurface txtCalc; ///< the dialog's invisible measuring picture box
    symbols::LayoutResults layout;

    /// What the drawing operations work on. The session object must exist (start-up creates it); a run
    /// without one is a host failure, as any call on a released session would be.
    drawing::Work DrawingWork()
    {
        if (!swAcc)
            throw host::Error(host::kNoObject, "swAcc", "the session object has been released");
        return drawing::Work{*swAcc, list, settings, txtCalc, layout, cc};
    }

    /// Drops every reference to a host object the run holds: the session object with its application and
    /// documents, and the host symbols of the symbol lists. Under COM every reference must be gone before
    /// the apartment ends, so the run's end calls this, never the run's destructor alone.
    void ReleaseHostReferences()
    {
        swAcc.reset();
        list.ReleaseHostSymbols();
    }
};

} // namespace app
