// One run of the program against a simulated session, with every port a double.
#pragma once

#include "app/frm_main.h"
#include "app/run.h"
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/recording_profile_store.h"
#include "tests/support/scripted_dialog_view.h"
#include "tests/support/sim_session_builder.h"

#include <memory>
#include <string>
#include <vector>

namespace app_tests
{

using testing_support::Json;

inline const std::wstring kIniPath = L"/glattmark/glattmark.ini";

/// An A3 drawing with these symbols and notes on the sheet (one symbol "Ra 3,2 gefräst" unless told otherwise)
/// and one symbol in a view.
inline Json DrawingSession(const std::vector<Json>& sheetSymbols = {testing_support::SymbolJson(
                               "Oberfl\u00e4chensymbol1", {{"2", "gefr\u00e4st"}, {"3", "Ra"}, {"4", "3,2"}})},
                           const std::vector<Json>& sheetNotes = {})
{
    const Json view = testing_support::ViewJson(
        "Zeichenansicht1",
        {testing_support::SymbolJson("Oberfl\u00e4chensymbol2", {{"3", "Ra"}, {"4", "1,6"}}, 0, 0.2)});
    return testing_support::SessionJson({testing_support::SheetJson("Blatt1", sheetSymbols, sheetNotes, {view})});
}

/// View: the dialog's view; the scripted double unless a test needs the real window. The message windows are
/// the recording doubles unless a test hands in others (the real ones, say), which must outlive the harness.
template <typename View> struct BasicAppHarness
{
    explicit BasicAppHarness(const Json& sessionFile, ui::MessageWindow* window = nullptr, ui::ReportBox* box = nullptr,
                             const std::wstring& iniPath = kIniPath)
        : session(testing_support::Session(sessionFile))
    {
        connector = std::make_unique<host::sim::SimConnector>(session);
        platform.loginName = L"station7";
        run = std::make_unique<app::Run>(app::Ports{window != nullptr ? *window : messageWindow,
                                                    box != nullptr ? *box : reportBox, platform, measurer, profiles,
                                                    *connector},
                                         iniPath);
        form = std::make_unique<app::frmMain>(*run, view);
        WriteStandardIni();
    }

    /// A3 and the user-defined 420 x 297 mm sheet are known; Arial fonts; four roughness values
    /// (standard 3,2), three methods (standard gedreht); Normfix enabled, no super users.
    void WriteStandardIni()
    {
        Ini(L"main", L"FormatCount", L"1");
        Ini(L"main", L"Sort", L"1");
        Ini(L"main", L"StandardType", L"1");
        Ini(L"Format01", L"Name", L"A3");
        Ini(L"Format01", L"FormatCode", L"8");
        Ini(L"Format01", L"BasePointX", L"0.23");
        Ini(L"Format01", L"BasePointY", L"0.065");
        Ini(L"SymbolFont", L"FontName", L"Arial");
        Ini(L"SymbolFont", L"FontHeight", L"14");
        Ini(L"BracketFont", L"FontName", L"Arial");
        Ini(L"BracketFont", L"FontHeight", L"10");
        Ini(L"RoughList", L"Count", L"4");
        Ini(L"RoughList", L"Rough01", L"0,8");
        Ini(L"RoughList", L"Rough02", L"1,6");
        Ini(L"RoughList", L"Rough03", L"3,2");
        Ini(L"RoughList", L"Rough04", L"6,3");
        Ini(L"RoughList", L"Standard", L"3");
        Ini(L"MethodeList", L"Count", L"3");
        Ini(L"MethodeList", L"Methode01", L"gefr\u00e4st");
        Ini(L"MethodeList", L"Methode02", L"gedreht");
        Ini(L"MethodeList", L"Methode03", L"geschliffen");
        Ini(L"MethodeList", L"Standard", L"2");
        Ini(L"NormFix", L"enabled", L"1");
    }

    void Ini(const std::wstring& section, const std::wstring& key, const std::wstring& value)
    {
        profiles.Put(run->iniPath, section, key, value);
    }

    const host::sim::SheetModel& Sheet() const { return session->ActiveDocument()->sheets.at(0); }

    /// The messages the user saw in the error window, in order.
    std::vector<std::wstring> Messages() const
    {
        std::vector<std::wstring> texts;
        for (const auto& m : messageWindow.shown)
            texts.push_back(m.text);
        return texts;
    }

    std::shared_ptr<host::sim::SimSession> session;
    std::unique_ptr<host::sim::SimConnector> connector;
    testing_support::RecordingMessageWindow messageWindow;
    testing_support::RecordingReportBox reportBox;
    testing_support::FakePlatform platform;
    testing_support::FixedMetricMeasurer measurer;
    testing_support::RecordingProfileStore profiles;
    View view;
    std::unique_ptr<app::Run> run;
    std::unique_ptr<app::frmMain> form;
};

using AppHarness = BasicAppHarness<testing_support::ScriptedDialogView>;

} // namespace app_tests
