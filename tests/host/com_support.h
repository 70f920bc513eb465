// What the COM adapter's tests share: the argument types each host member must receive, and one whole
// run of the program through a given connector with the doubles of every other port.
#pragma once

#include "app/frm_main.h"
#include "app/run.h"
#include "config/profile_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/scripted_dialog_view.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace com_tests
{

/// Every call the adapter may make, as "kind.member invoke(argument types)": the types of the typed
/// interface (int16_t VT_I2, int32_t VT_I4, double VT_R8, bool VT_BOOL, text VT_BSTR), no text VT_EMPTY, no
/// callout a null VT_DISPATCH, out values and the notes' pick point and the text formats by reference.
inline const std::set<std::string> kSignatures = {
    "application.ActiveDoc get()",
    "application.OpenDoc6 method(VT_BSTR,VT_I4,VT_I4,VT_BSTR,VT_BYREF|VT_I4,VT_BYREF|VT_I4)",
    "application.GetCurrentMacroPathName method()",
    "application.GetExecutablePath method()",
    "application.Frame method()",
    "application.SetUserPreferenceToggle method(VT_I2,VT_BOOL)",
    "frame.GetHWnd method()",
    "document.GetType method()",
    "document.FeatureManager get()",
    "document.Extension get()",
    "document.SelectionManager get()",
    "document.DeleteSelection method(VT_BOOL)",
    "document.SelectByID method(VT_BSTR,VT_BSTR,VT_R8,VT_R8,VT_R8)",
    "document.SelectByID method(VT_BSTR,VT_BSTR,VT_BYREF|VT_R8,VT_BYREF|VT_R8,VT_R8)",
    "document.InsertNote method(VT_BSTR)",
    "document.GetUserPreferenceToggle method(VT_I2)",
    "document.SetUserPreferenceToggle method(VT_I2,VT_BOOL)",
    "document.GetUserPreferenceTextFormat method(VT_I2)",
    "document.EditRebuild method()",
    "document.GetCurrentSheet method()",
    "document.GetFirstView method()",
    "document.ActivateSheet method(VT_BSTR)",
    "sheet.GetName method()",
    "sheet.GetProperties method()",
    "view.GetNextView method()",
    "view.GetFirstSFSymbol method()",
    "view.GetReferencedModelName method()",
    "sfSymbol.GetNext method()",
    "sfSymbol.GetSymbolType method()",
    "sfSymbol.GetText method(VT_I2)",
    "sfSymbol.GetSymbolAllAround method()",
    "sfSymbol.GetDirectionOfLay method()",
    "sfSymbol.GetAnnotation method()",
    "sfSymbol.SetSymbol method(VT_I4,VT_I2,VT_BOOL)",
    "sfSymbol.SetText method(VT_I2,VT_BSTR)",
    "sfSymbol.SetText method(VT_I2,VT_EMPTY)",
    "annotation.GetName method()",
    "annotation.SetName method(VT_BSTR)",
    "annotation.GetTextFormat method(VT_I2)",
    "annotation.SetTextFormat method(VT_I2,VT_BOOL,VT_BYREF|VT_DISPATCH)",
    "annotation.Select2 method(VT_BOOL,VT_I2)",
    "note.Angle put(VT_R8)",
    "note.SetBalloon method(VT_I2,VT_I2)",
    "note.GetTextFormat method()",
    "note.SetTextFormat method(VT_I2,VT_BYREF|VT_DISPATCH)",
    "note.GetAnnotation method()",
    "textFormat.TypeFaceName get()",
    "textFormat.TypeFaceName put(VT_BSTR)",
    "textFormat.CharHeight get()",
    "textFormat.CharHeight put(VT_R8)",
    "textFormat.CharHeightInPts get()",
    "textFormat.CharHeightInPts put(VT_I4)",
    "textFormat.Bold get()",
    "textFormat.Bold put(VT_BOOL)",
    "extension.SelectByID method(VT_BSTR,VT_BSTR,VT_R8,VT_R8,VT_R8,VT_BOOL,VT_I2,VT_DISPATCH null)",
    "extension.InsertSurfaceFinishSymbol3 method(VT_I4,VT_I2,VT_R8,VT_R8,VT_R8,VT_I4,VT_I2,VT_BSTR,VT_BSTR,VT_BSTR,"
    "VT_BSTR,VT_BSTR,VT_BSTR,VT_BSTR)",
    "extension.CustomPropertyManager get(VT_BSTR)",
    "selectionManager.GetSelectedObjectCount2 method(VT_I4)",
    "selectionManager.DeSelect2 method(VT_ARRAY|VT_I4,VT_I4)",
    "customPropertyManager.Add2 method(VT_BSTR,VT_I4,VT_BSTR)",
    "customPropertyManager.Set method(VT_BSTR,VT_BSTR)",
    "customPropertyManager.Get2 method(VT_BSTR,VT_BYREF|VT_BSTR,VT_BYREF|VT_BSTR)",
    "featureManager.EnableFeatureTree put(VT_BOOL)",
    "featureManager.EnableFeatureTreeWindow put(VT_BOOL)",
};

/// The signature of one entry of simhost's call log, in the form of kSignatures.
inline std::string Signature(const nlohmann::json& call)
{
    std::string signature = call.at("kind").get<std::string>();
    signature.append(".").append(call.at("member").get<std::string>());
    signature.append(" ").append(call.at("invoke").get<std::string>()).append("(");
    bool first = true;
    for (const auto& type : call.at("args"))
    {
        signature.append(first ? "" : ",").append(type.get<std::string>());
        first = false;
    }
    return signature.append(")");
}

/// How often each signature occurs in a call log; the calls of no known signature under "unexpected: ".
inline std::map<std::string, int> Signatures(const nlohmann::json& callLog)
{
    std::map<std::string, int> found;
    for (const auto& call : callLog)
    {
        const std::string signature = Signature(call);
        ++found[kSignatures.count(signature) != 0 ? signature : "unexpected: " + signature];
    }
    return found;
}

/// The lookups of simhost's stats asked more than once, as "kind.member": none in a run.
inline std::vector<std::string> RepeatedLookups(const nlohmann::json& lookups)
{
    std::vector<std::string> repeated;
    for (const auto& [kind, members] : lookups.at("byKind").items())
        for (const auto& [member, count] : members.items())
            if (count.get<int>() != 1)
                repeated.push_back(kind + "." + member + " x" + std::to_string(count.get<int>()));
    return repeated;
}

/// A path of the build machine (GLM_SOURCE_DIR, GLM_BINARY_DIR, simhost.exe) as the program under Wine
/// sees it.
inline std::filesystem::path WinePath(std::string path)
{
    if (!path.empty() && path.front() == '/')
        path = "Z:" + path; // Wine's drive Z: is the root of the host's file system
    return std::filesystem::path(path).make_preferred();
}

/// The repository, as the test program under Wine sees it.
inline std::filesystem::path SourceDir()
{
    return WinePath(GLM_SOURCE_DIR);
}

/// The build tree, as the test program under Wine sees it.
inline std::filesystem::path BinaryDir()
{
    return WinePath(GLM_BINARY_DIR);
}

/// The text of a file of examples/.
inline std::string Example(const char* name)
{
    std::ifstream in(SourceDir() / "examples" / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// A folder of the build tree for one test, emptied first.
inline std::filesystem::path ScratchFolder(const std::string& name)
{
    const auto folder = BinaryDir() / "com-tests" / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

/// One whole run of the program through connector: start-up, "Ok" on the dialog's proposal, with the
/// example configuration copied into folder.
struct ProgramRun
{
    ProgramRun(host::SessionConnector& connector, const std::filesystem::path& folder)
    {
        const auto examples = SourceDir() / "examples";
        for (const char* file : {"glattmark.ini", "glattmark.cfg"})
            std::filesystem::copy_file(examples / file, folder / file,
                                       std::filesystem::copy_options::overwrite_existing);
        platform.loginName = L"mustermann";
        run = std::make_unique<app::Run>(app::Ports{messageWindow, reportBox, platform, measurer, profiles, connector},
                                         (folder / "glattmark.ini").wstring());
        form = std::make_unique<app::frmMain>(*run, view);
        form->Form_Load();
        if (!form->Ended())
            form->cmd_Ok_Click();
    }

    testing_support::RecordingMessageWindow messageWindow;
    testing_support::RecordingReportBox reportBox;
    testing_support::FakePlatform platform;
    testing_support::FixedMetricMeasurer measurer;
    config::FileProfileStore profiles{L'\\'};
    testing_support::ScriptedDialogView view;
    std::unique_ptr<app::Run> run;
    std::unique_ptr<app::frmMain> form;
};

} // namespace com_tests
