// Everything one run of the program owns, held together by the entry point. Each layer gets from it only
// the pieces it uses: the settings loader its handler and settings, the calculation the list and the
// layout, the drawing operations a drawing::Work. Tests build it fresh for every case.
#pragma once

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
    Run(const Ports& portsIn, std::wstring iniPathIn)
        : ports(portsIn), iniPath(std::move(iniPathIn)), cc(portsIn.messageWindow), iniHandler(portsIn.profiles),
          txtCalc(portsIn.measurer)
    {
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    Ports ports;
    std::wstring iniPath;
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
