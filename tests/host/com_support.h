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

/// Every call the adapter may make, as "kind.member invoke(argument types)" (see the file).
inline const std::set<std::string> kSignatures = [] {
    std::set<std::string> signatures;
    std::istringstream lines(
#include "tests/host/com_signatures.inc"
    );
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            signatures.insert(line);
    return signatures;
}();

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
