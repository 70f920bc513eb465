// The main dialog on Windows: a top-level window of standard controls that draws MainDialogState and
// hands what the user does to MainDialogEvents.
//
// This header names no Windows type, so that a UI driver can take the control ids from it.
#pragma once

#include "app/main_dialog_view.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace app
{

/// Window class of the main dialog.
inline constexpr const wchar_t* kMainDialogClass = L"GlattmarkMainDialog";

/// Control ids, fixed so that a UI driver finds every control; numbered in tab order.
inline constexpr int kIdSymbol = 1101;  ///< stdSFSSymbol, COMBOBOX
inline constexpr int kIdRough = 1102;   ///< stdSFSRough, COMBOBOX
inline constexpr int kIdOk = 1103;      ///< cmd_Ok, BUTTON "Ok"
inline constexpr int kIdCancel = 1104;  ///< cmd_Cancel, BUTTON "Abbruch"
inline constexpr int kIdPicture = 1105; ///< sfsPic, STATIC showing bitmap 101, 102 or 103
inline constexpr int kIdLabel1 = 1107;  ///< STATIC "Symbol"
inline constexpr int kIdLabel2 = 1108;  ///< STATIC "Methode"
inline constexpr int kIdMethod = 1109;  ///< stdSFSMet, COMBOBOX
inline constexpr int kIdLabel3 = 1110;  ///< STATIC "Rauheit (Ra)"
inline constexpr int kIdLabel4 = 1111;  ///< STATIC "1.80"
inline constexpr int kIdNormFix = 1112; ///< cbNormFix, BUTTON check box "Normfix"

class frmMain;
struct Run;
class Win32DialogView;

/// Exit status of glattmark.exe: after "Ok", "Abbruch" or the close box.
inline constexpr int kExitClean = 0;
/// Exit status of glattmark.exe: an error message ended the run.
inline constexpr int kExitErrorShown = 1;

/// glattmark.exe's run once its ports, its run and its dialog exist: loads the dialog and runs the thread's
/// messages until the run ends; answers the exit status. A failure caught in a window procedure, or a
/// message loop that fails, ends the run with the message of last resort (the drawing is untouched: every
/// handler catches its own failures); the system's request to end the process is taken as the close box.
int RunWindowsProgram(Run& run, Win32DialogView& view, frmMain& form);

/// How a message loop of the dialog ended.
enum class LoopEnd
{
    RunEnded,      ///< what the loop was waiting for
    QuitRequested, ///< WM_QUIT: the system or another program asked the process to end
    WindowFailed,  ///< a failure inside a window procedure was caught there, or the loop failed; the run must end
};

/// The dialog: 3780 x 2295 twips of client area in the centre of the screen, grey, with the controls of
/// the table at their twip positions converted at the screen's DPI. The window exists (hidden) from the
/// view's construction, so that it can be made top-most before it is shown. While "Ok", "Abbruch" or the
/// close box are handled, the window is disabled: a message box or the message window opened meanwhile
/// runs its own loop, in which the dialog must take no input.
class Win32DialogView : public MainDialogView
{
public:
    /// Makes the window and its controls; throws std::runtime_error when the system cannot.
    Win32DialogView();
    ~Win32DialogView() override;

    std::intptr_t WindowHandle() override;
    void ShowModeless(const MainDialogState& state, MainDialogEvents& events) override;
    void Render(const MainDialogState& state) override;
    void Hide() override;

    /// Runs the thread's messages, with Tab and Shift+Tab moving between the controls, until ended()
    /// answers true (asked after every message).
    LoopEnd RunMessageLoop(const std::function<bool()>& ended);

    /// A failure was caught inside the window procedure.
    bool Failed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace app
