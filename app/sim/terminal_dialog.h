// The main dialog of glattmark-sim: a view that remembers what the dialog proposed, the answers from the
// command line, and a small dialog in the terminal for a person at the keyboard.
#pragma once

#include "app/frm_main.h"
#include "app/main_dialog_view.h"
#include "app/sim/sim_command_line.h"

#include <iosfwd>
#include <optional>

namespace app::sim
{

/// Has no window: it keeps the state the dialog was first shown with (the program's proposal, before
/// anybody answered) and follows every later change.
class SimDialogView : public MainDialogView
{
public:
    std::intptr_t WindowHandle() override { return 0; }
    /// The answers come from the command line or the terminal, through frmMain directly.
    void ShowModeless(const MainDialogState& state, MainDialogEvents& events) override;
    void Render(const MainDialogState& state) override { m_current = state; }
    void Hide() override { m_current.visible = false; }

    /// The state right after the first showing; nothing when the dialog was never shown.
    const std::optional<MainDialogState>& Proposal() const { return m_proposal; }

private:
    std::optional<MainDialogState> m_proposal;
    MainDialogState m_current;
};

/// Fills in the dialog as the command line says: kind, typed kind text, method, roughness, Normfix, in
/// this order, each through the control's own handler. Does not leave the dialog.
void ApplyAnswers(frmMain& form, const SimOptions& options);

/// Leaves the dialog the way answer says ("Ok", "Abbruch", the close box).
void LeaveDialog(frmMain& form, SimAnswer answer);

/// Asks a person in the terminal: shows the dialog, takes changes until Ok, Abbruch or closing, and
/// returns how the dialog is to be left. The end of the input counts as closing the window.
/// Text is read and written as UTF-8.
SimAnswer AskInTerminal(frmMain& form, std::istream& in, std::ostream& out);

} // namespace app::sim
