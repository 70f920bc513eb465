// Double of the main dialog's view: records what the dialog showed and can be told to fail a call.
#pragma once

#include "app/main_dialog_view.h"

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace testing_support
{

class ScriptedDialogView : public app::MainDialogView
{
public:
    std::intptr_t handle = 0x4711;
    /// The state at the first showing: the program's proposal.
    std::optional<app::MainDialogState> shown;
    /// The state as last drawn (shown or rendered).
    app::MainDialogState last;
    bool visible = false;
    int showCount = 0;
    int renderCount = 0;
    int hideCount = 0;
    /// Makes ShowModeless fail as a broken window would.
    bool failShow = false;
    /// Where the user's actions go once the dialog was shown; a test acts through it as a user would.
    app::MainDialogEvents* events = nullptr;

    std::intptr_t WindowHandle() override { return handle; }
    void ShowModeless(const app::MainDialogState& state, app::MainDialogEvents& eventsIn) override
    {
        events = &eventsIn;
        if (failShow)
            throw std::runtime_error("the dialog window could not be created");
        ++showCount;
        if (!shown)
            shown = state;
        last = state;
        visible = true;
    }
    void Render(const app::MainDialogState& state) override
    {
        ++renderCount;
        last = state;
    }
    void Hide() override
    {
        ++hideCount;
        visible = false;
    }
};

} // namespace testing_support
