// The command line of glattmark-sim: the session file, where to write what, and the answers to the dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app::sim
{

/// How the simulated user leaves the dialog.
enum class SimAnswer
{
    Ok,     ///< presses "Ok" (the default)
    Cancel, ///< presses "Abbruch"
    Close,  ///< closes the window with its close box
};

/// Everything the command line says. Paths are kept as given (UTF-8 bytes, as the shell passed them).
struct SimOptions
{
    std::string sessionPath;
    std::optional<std::string> outPath;        ///< the session after the run; SESSION.json when not given
    std::optional<std::string> iniPath;        ///< glattmark.ini beside the executable when not given
    std::optional<std::string> transcriptPath; ///< what the user saw, as JSON
    std::optional<std::string> svgPath;        ///< a drawing of the current sheet after the run
    std::optional<std::string> logPath;        ///< the log of host calls, instead of the configuration's

    // Answers to the dialog; what is not given stays as the program proposed it.
    std::optional<int> kind;              ///< list index 0, 1 or 2 chosen in the kind box
    std::optional<std::wstring> typeKind; ///< text typed into the kind box's edit field
    std::optional<std::wstring> method;   ///< text of the method box when the dialog is left
    std::optional<std::wstring> rough;    ///< text of the roughness box when the dialog is left
    std::optional<bool> normFix;          ///< the "Normfix" box, where it can be changed
    SimAnswer answer = SimAnswer::Ok;
    bool interactive = false; ///< --interactive was given

    /// --user: the login name the program sees; an empty name stands for "cannot be had".
    std::optional<std::wstring> user;
    std::optional<wchar_t> decimal; ///< --decimal: the regional decimal separator
    bool help = false;              ///< --help: print the usage and do nothing else
};

/// True when any option answers the dialog (then no terminal dialog is offered by default).
bool HasAnswerOption(const SimOptions& options);

/// A command line that cannot be run: error holds one German sentence that says why.
struct SimCommandLine
{
    std::optional<SimOptions> options;
    std::wstring error;
};

/// Reads the arguments after the program name. Options and the session file may come in any order;
/// a later value of the same option replaces an earlier one.
SimCommandLine ParseSimCommandLine(const std::vector<std::string>& args);

/// The usage text, one option a line.
std::wstring SimUsage();

} // namespace app::sim
