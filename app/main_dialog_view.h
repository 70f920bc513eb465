// The main dialog as a model, and the port through which it is put on the screen.
//
// The state of every control lives in MainDialogState, owned by frmMain (portable). A view only draws
// that state and passes what the user did to the dialog's events (MainDialogEvents, which frmMain
// implements); it never changes the state itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app
{

/// Bitmap resources of the three symbol kinds: kind index + kPictureBase.
inline constexpr std::int32_t kPictureBase = 101;
/// The picture the dialog carries until a kind is selected ("Spanend").
inline constexpr std::int32_t kDesignPicture = 102;

/// A combo box whose edit field accepts typed text.
struct ComboBoxState
{
    std::vector<std::wstring> items;
    std::int32_t listIndex = -1; ///< the selected entry, -1 when the edit text is none of them
    std::wstring text = L"-";    ///< the edit field; the design-time text is "-"
};

struct CheckBoxState
{
    std::int32_t value = 0; ///< 0 unchecked, 1 checked
    bool visible = true;
    bool enabled = true;
};

/// Every control of the dialog that the program changes at run time.
struct MainDialogState
{
    std::wstring caption;
    ComboBoxState stdSFSSymbol;               ///< kind: "Grundlegend", "Spanend", "Roh"
    ComboBoxState stdSFSRough;                ///< roughness value
    ComboBoxState stdSFSMet;                  ///< machining method
    std::int32_t sfsPicture = kDesignPicture; ///< bitmap resource id shown in sfsPic (101, 102, 103)
    std::wstring label3Caption = L"Rauheit";  ///< caption of the roughness box
    CheckBoxState cbNormFix;                  ///< "Normfix"
    bool visible = false;
};

/// What the user can do in the dialog: the handlers a view fires. Each one runs to its end before it
/// returns, and may end the run; a view fires nothing while one runs.
class MainDialogEvents
{
public:
    MainDialogEvents() = default;
    MainDialogEvents(const MainDialogEvents&) = delete;
    MainDialogEvents& operator=(const MainDialogEvents&) = delete;
    virtual ~MainDialogEvents() = default;

    /// Chooses kind list entry index (an index outside the list is ignored).
    virtual void ChooseKind(std::int32_t index) = 0;
    /// Text was typed into the kind box's edit field.
    virtual void TypeKindText(const std::wstring& text) = 0;
    /// The method box's edit text is now text (typed or chosen from the list).
    virtual void SetMethodText(const std::wstring& text) = 0;
    /// The roughness box's edit text is now text (typed or chosen from the list).
    virtual void SetRoughText(const std::wstring& text) = 0;
    /// Checks or unchecks "Normfix"; no effect on a hidden or disabled box.
    virtual void SetNormFix(bool checked) = 0;
    /// "Ok": the work sequence.
    virtual void cmd_Ok_Click() = 0;
    /// "Abbruch".
    virtual void cmd_Cancel_Click() = 0;
    /// The window's close box.
    virtual void Form_Unload() = 0;
};

/// The dialog window. Windows: a Win32 dialog; glattmark-sim: the terminal or the command line; tests: a
/// scripted double. Calls come from frmMain only, on the user-interface thread.
class MainDialogView
{
public:
    MainDialogView() = default;
    MainDialogView(const MainDialogView&) = delete;
    MainDialogView& operator=(const MainDialogView&) = delete;
    virtual ~MainDialogView() = default;

    /// The window handle, for placing the dialog top-most (0 when there is no real window). The window may
    /// exist before it is shown.
    virtual std::intptr_t WindowHandle() = 0;
    /// Shows the dialog modeless, with no owner window, in this state; returns at once. From now on what the
    /// user does goes to events, which outlives the view's showing.
    virtual void ShowModeless(const MainDialogState& state, MainDialogEvents& events) = 0;
    /// The state changed while the dialog exists (shown or not); the view brings its controls in step. It
    /// touches only the controls whose state changed: rewriting the edit field the user is typing in would
    /// move the caret and lose the selection.
    virtual void Render(const MainDialogState& state) = 0;
    /// Hides the dialog; it takes no more input.
    virtual void Hide() = 0;
};

} // namespace app
