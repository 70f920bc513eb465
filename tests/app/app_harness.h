// One run of the program against a simulated session, with every port a double.
#pragma once

#include "app/frm_main.h"
#include "app/run.h"
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "tests/app/memory_profile_store.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/scripted_dialog_view.h"

#include <functional>
#include <memory>
#include <string>

namespace app_tests
{

/// A message box that lets the test act while it is open, as the user can in its nested message loop.
class ActingReportBox : public testing_support::RecordingReportBox
{
public:
    std::function<void()> whileShown;

    void Show(const std::wstring& caption, const std::wstring& text) override
    {
        RecordingReportBox::Show(caption, text);
        if (whileShown)
            whileShown();
    }
};

inline const std::wstring kIniPath = L"/glattmark/glattmark.ini";

/// An A3 drawing (paper size 8) with one symbol on the sheet and one in a view, unless told otherwise.
inline std::string DrawingSession(const std::string& sheetSymbols = R"([
      { "name": "Oberflächensymbol1", "type": 1, "texts": { "2": "gefräst", "3": "Ra", "4": "3,2" }, "x": 0.1, "y": 0.1 }
    ])",
                                  const std::string& extra = "")
{
    return R"({ "format": "glattmark-cad-session/1", "running": true, "activeDocument": 0,
  "documents": [ { "path": "C:\\Zeichnungen\\Welle.SLDDRW", "type": 3, "currentSheet": "Blatt1",
    "sheets": [ { "name": "Blatt1", "properties": [8, 8, 1, 1, 0, 0.42, 0.297], "symbols": )" +
           sheetSymbols + R"(,
      "views": [ { "name": "Zeichenansicht1", "symbols": [
        { "name": "Oberflächensymbol2", "type": 0, "texts": { "3": "Ra", "4": "1,6" }, "x": 0.2, "y": 0.1 } ] } ]
    } ] } ])" +
           extra + "}";
}

/// View: the dialog's view; the scripted double unless a test needs the real window.
template <typename View> struct BasicAppHarness
{
    explicit BasicAppHarness(const std::string& sessionJson) : session(host::sim::SimSession::Parse(sessionJson))
    {
        connector = std::make_unique<host::sim::SimConnector>(session);
        platform.loginName = L"station7";
        run = std::make_unique<app::Run>(app::Ports{messageWindow, reportBox, platform, measurer, profiles, *connector},
                                         kIniPath);
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
        profiles.Set(kIniPath, section, key, value);
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
    ActingReportBox reportBox;
    testing_support::FakePlatform platform;
    testing_support::FixedMetricMeasurer measurer;
    MemoryProfileStore profiles;
    View view;
    std::unique_ptr<app::Run> run;
    std::unique_ptr<app::frmMain> form;
};

using AppHarness = BasicAppHarness<testing_support::ScriptedDialogView>;

} // namespace app_tests
