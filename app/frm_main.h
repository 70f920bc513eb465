// The main dialog: the start-up sequence behind loading it, the work sequence behind "Ok", and every
// way the run ends.
//
// A run ends in ShutDown (or in Form_Unload for the close box). The program never continues after
// either: inside a handler ShutDown unwinds to that handler's boundary, and afterwards every handler
// does nothing. The entry point reads Ended() and RunEnding() and ends the process; no exception ever
// leaves a public member.
#pragma once

#include "app/main_dialog_view.h"
#include "app/run.h"

#include <cstdint>
#include <string>

namespace app
{

inline constexpr const wchar_t* kCaption = L"SW Oberfl\u00e4chen - Assistent";
/// Resource id of the dialog's icon (32 x 32), handed to the error object as well.
inline constexpr int kIconId = 1;

/// A call into the CAD host failed and nothing below recorded it (the host went away, a call failed).
inline constexpr const wchar_t* kHostFailureUntouched =
    L"Die Verbindung zur SolidWorks-Sitzung ist unterbrochen oder ein Aufruf ist fehlgeschlagen. "
    L"Die Zeichnung wurde nicht ge\u00e4ndert.";
inline constexpr const wchar_t* kHostFailurePartly =
    L"Die Verbindung zur SolidWorks-Sitzung ist unterbrochen oder ein Aufruf ist fehlgeschlagen. "
    L"Die Zeichnung wurde eventuell nur teilweise ge\u00e4ndert.";
/// The host refused calls for longer than the busy limit (BusyTimeout).
inline constexpr const wchar_t* kHostBusyUntouched =
    L"SolidWorks ist besch\u00e4ftigt und nimmt keine Auftr\u00e4ge an. Bitte den laufenden Befehl in SolidWorks "
    L"beenden und Glattmark erneut starten. Die Zeichnung wurde nicht ge\u00e4ndert.";
inline constexpr const wchar_t* kHostBusyPartly =
    L"SolidWorks ist besch\u00e4ftigt und nimmt keine Auftr\u00e4ge an. Bitte den laufenden Befehl in SolidWorks "
    L"beenden und Glattmark erneut starten. Die Zeichnung wurde eventuell nur teilweise ge\u00e4ndert.";
/// Anything else that no called code recorded.
inline constexpr const wchar_t* kUnexpectedUntouched =
    L"Ein unerwarteter Fehler ist aufgetreten. Die Zeichnung wurde nicht ge\u00e4ndert.";
inline constexpr const wchar_t* kUnexpectedPartly =
    L"Ein unerwarteter Fehler ist aufgetreten. Die Zeichnung wurde eventuell nur teilweise ge\u00e4ndert.";

/// How a run ended.
enum class Ending
{
    None,   ///< still running
    Ok,     ///< the work sequence ran to its end
    Cancel, ///< "Abbruch" (or ShutDown called from outside) with no error to show
    Close,  ///< the window's close box
    Error,  ///< an error message ended the run
};

/// "ok", "cancel", "close", "error" ("" while running).
std::string EndingName(Ending ending);

class frmMain final : public MainDialogEvents
{
public:
    /// run and view must outlive the dialog.
    frmMain(Run& run, MainDialogView& view);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Event handlers.
    /// Start-up: error object, settings, session, scan; ends on a pending error, else shows the dialog.
    void Form_Load();
    /// The work sequence; always ends the run.
    void cmd_Ok_Click() override;
    void cmd_Cancel_Click() override;
    /// The close box: ends without showing a pending error.
    void Form_Unload() override;
    /// The kind's list index changed (also when code sets it): remembers it and shows its picture.
    void stdSFSSymbol_Click();
    /// Text was typed into the kind box: the last chosen kind comes back.
    void stdSFSSymbol_Change();
    /// Hides the dialog, shows a pending error, releases every host reference and ends the run.
    void ShutDown();
    /// The user gave up a call the host hangs in, which cannot be unwound: shows the host failure message
    /// and marks the run ended, releasing nothing (every host reference stays with the stuck call). The
    /// caller ends the process.
    void AbandonHungHost();

    // What the user does; each fires the handler the control would fire.
    /// Chooses kind list entry index (an index outside the list is ignored), firing stdSFSSymbol_Click.
    void ChooseKind(std::int32_t index) override;
    /// Types text into the kind box's edit field, firing stdSFSSymbol_Change.
    void TypeKindText(const std::wstring& text) override;
    void SetMethodText(const std::wstring& text) override;
    void SetRoughText(const std::wstring& text) override;
    /// Checks or unchecks "Normfix"; no effect on a hidden or disabled box.
    void SetNormFix(bool checked) override;

    const MainDialogState& State() const { return m_state; }
    bool Ended() const { return m_ended; }
    Ending RunEnding() const { return m_ending; }

    std::int16_t symbolKind = 0; ///< the last list index chosen in stdSFSSymbol

private:
    /// Who fired a handler: the user, or a control because code changed it.
    enum class Source
    {
        User,
        Control,
    };
    template <typename Body> void Handle(Source source, Body&& body);
    /// What ended a handler that nobody below recorded.
    enum class Failure
    {
        Unexpected,
        Host,
        HostBusy,
    };
    void EndOnFailure(Failure failure);
    void StartUp();
    void OpenLog();
    void StartLog();
    void Work();
    void SetKindListIndex(std::int32_t index);
    void HideDialog();

    Run& m_run;
    MainDialogView& m_view;
    MainDialogState m_state;
    bool m_loaded = false;
    bool m_ended = false;
    Ending m_ending = Ending::None;
    Ending m_intended = Ending::Cancel; ///< how the run ends when ShutDown shows no error
    bool m_drawingTouched = false;      ///< the work sequence has begun to change the drawing
    int m_handlerDepth = 0;             ///< > 0 while a handler runs: ShutDown then unwinds to its boundary
};

} // namespace app
