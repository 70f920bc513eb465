// Everything one run of the program owns, held together and handed by reference to the code that uses
// it: the ports to the platform, the error object, the settings, the session, the symbol list and the
// layout. Tests build it fresh for every case.
#pragma once

#include "config/profile_store.h"
#include "config/settings.h"
#include "config/vb_ini_handler.h"
#include "host/session_connector.h"
#include "host/sw_access.h"
#include "symbols/summary_calculation.h"
#include "symbols/symbol_list.h"
#include "symbols/text_measurer.h"
#include "ui/error_object.h"
#include "ui/message_window.h"
#include "ui/platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace app
{

/// The platform pieces a run talks through.
struct Ports
{
    ui::MessageWindow& messageWindow;
    ui::MessageBox& messageBox;
    ui::Platform& platform;
    symbols::TextMeasurer& measurer;
    config::ProfileStore& profiles;
    host::SessionConnector& connector;
};

struct Run
{
    /// iniPath: the configuration file (glattmark.ini beside the executable unless told otherwise).
    Run(const Ports& portsIn, std::wstring iniPathIn)
        : ports(portsIn), iniPath(std::move(iniPathIn)), cc(portsIn.messageWindow), txtCalc(portsIn.measurer)
    {
    }

    Ports ports;
    std::wstring iniPath;
    ui::ErrorObject cc;
    config::Settings settings;
    std::unique_ptr<config::vbIniHandler> iniHandler;
    std::unique_ptr<host::swAccess> swAcc;
    symbols::SymbolList list;
    symbols::MeasuringSurface txtCalc; ///< the dialog's invisible measuring picture box
    symbols::LayoutResults layout;
    std::int32_t normFixCount = 0; ///< symbols corrected by the last Normfix pass
    bool toggleWasOff = false;     ///< toggle 24 was off when the insertion began
};

} // namespace app
