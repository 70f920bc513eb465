// The main dialog as a model, and the port through which it is put on the screen.
//
// The state of every control lives in MainDialogState, owned by frmMain (portable). A view only draws
// that state and passes what the user did to frmMain's handlers (ChooseKind, TypeKindText, SetMethodText,
// SetRoughText, SetNormFix, cmd_Ok_Click, cmd_Cancel_Click, Form_Unload); it never changes the state itself.
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
    /// Shows the dialog modeless, with no owner window, in this state; returns at once.
    virtual void ShowModeless(const MainDialogState& state) = 0;
    /// The state changed while the dialog exists (shown or not); the view brings its controls in step.
    virtual void Render(const MainDialogState& state) = 0;
    /// Hides the dialog; it takes no more input.
    virtual void Hide() = 0;
};

} // namespace app
