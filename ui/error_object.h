// The program's single error state and its message window (`cc`).
//
// Every error member replaces whatever was pending; callers that must keep the first error ask IsErr()
// before they do anything. Errors are told apart by their texts, which stand here once.
#pragma once

#include "ui/message_window.h"
#include "ui/platform.h"

#include <cstdint>
#include <string>

namespace ui
{

// Fixed texts of the error members.
inline constexpr const wchar_t* kTextNoIV = L"Keine laufende Inventor-Sitzung gefunden.";
inline constexpr const wchar_t* kTextNoSE = L"Keine laufende SolidEdge-Sitzung gefunden.";
inline constexpr const wchar_t* kTextNoSWX = L"Keine laufende SolidWorks-Sitzung gefunden.";
inline constexpr const wchar_t* kTextNoDoc = L"Kein Dokument ge\u00f6ffnet.";
inline constexpr const wchar_t* kTextNoModel = L"Kein Modell ge\u00f6ffnet.";
inline constexpr const wchar_t* kTextNoPRT = L"Kein Teil ge\u00f6ffnet.";
inline constexpr const wchar_t* kTextNoASM = L"Kein Baugruppe ge\u00f6ffnet.";
inline constexpr const wchar_t* kTextNoModelView = L"Zeichnung enth\u00e4lt keine Modellansichten.";
inline constexpr const wchar_t* kTextNoDRW = L"Kein Zeichnung ge\u00f6ffnet.";
inline constexpr const wchar_t* kTextSaveFirst = L"Dokument muss zuerst gespeichert werden.";
inline constexpr const wchar_t* kTextFileExists = L"___";
inline constexpr const wchar_t* kTextBadIni = L"Fehler in Konfiguration. Bitte INI-Datei pr\u00fcfen.";
inline constexpr const wchar_t* kTextUnknown = L"Unbekannter Fehler.";

/// The message window's design-time caption, used until Init gives it the program's.
inline constexpr const wchar_t* kDesignCaption = L"Form1";

/// A window object ShowForm can place over the CAD host's main window.
class Form
{
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    virtual std::wstring Caption() = 0;
    /// Shows the window; modeless returns at once, modal when the window is hidden or closed again.
    virtual void Show(bool modal) = 0;
    virtual void Hide() = 0;
};

/// What ShowForm asks of the CAD host's application object. Calls go to the host and may throw its
/// failure, which passes to ShowForm's caller.
class HostWindowSource
{
public:
    HostWindowSource() = default;
    HostWindowSource(const HostWindowSource&) = delete;
    HostWindowSource& operator=(const HostWindowSource&) = delete;
    virtual ~HostWindowSource() = default;

    /// Folder of the host's executable, without a trailing separator.
    virtual std::wstring GetExecutablePath() = 0;
    /// Handle of the host's main window (its frame's window).
    virtual std::intptr_t MainWindowHandle() = 0;
};

/// Binary type of a 64-bit Windows program (SCS_64BIT_BINARY).
inline constexpr std::int32_t kBinaryType64Bit = 6;

class ErrorObject : private MessageWindowEvents
{
public:
    /// The window is not used before DisplayError/Show2; it must outlive this object.
    explicit ErrorObject(MessageWindow& window);

    // Public flags.
    bool EventStatus = false; ///< set by EventsOn, cleared by EventsOff; nothing in this program reads it
    std::int32_t QResult = 0; ///< 1 after the message window was closed with "Ok"

    /// Error codes: 0 none, 1 an error to show, 333 a hidden error (pending, never shown).
    static constexpr std::int32_t kNoError = 0;
    static constexpr std::int32_t kShownError = 1;
    static constexpr std::int32_t kHiddenError = 333;

    /// Shows a pending error modally in the message window; nothing for no error or a hidden one.
    /// The error stays recorded.
    void DisplayError();
    bool IsErr() const { return m_errCode != kNoError; }
    bool NoErr() const { return m_errCode == kNoError; }
    void Clear();
    void EventsOn() { EventStatus = true; }
    void EventsOff() { EventStatus = false; }
    bool Events() const { return EventStatus; }
    /// Clears the error when asked to, then takes over a non-empty caption and a given icon.
    void Init(const std::wstring& title, const IconId& iconIn, bool clearErr);
    /// Shows the message window top-most; modal waits until it is closed.
    void Show2(bool modal);
    /// Shows uForm over the CAD host's main window: owned by it when the host is a 64-bit program,
    /// top-most, and modal when asked. The window functions are the platform's.
    void ShowForm(Form& uForm, bool modal, HostWindowSource& host, Platform& platform);

    void eNoIV() { SetErr(kTextNoIV, kShownError); }
    void eNoSE() { SetErr(kTextNoSE, kShownError); }
    void eNoSWX() { SetErr(kTextNoSWX, kShownError); }
    void eNoDoc() { SetErr(kTextNoDoc, kShownError); }
    void eNoModel() { SetErr(kTextNoModel, kShownError); }
    void eNoPRT() { SetErr(kTextNoPRT, kShownError); }
    void eNoASM() { SetErr(kTextNoASM, kShownError); }
    void eNoModelView() { SetErr(kTextNoModelView, kShownError); }
    void eNoDRW() { SetErr(kTextNoDRW, kShownError); }
    void eSaveFirst() { SetErr(kTextSaveFirst, kShownError); }
    void eFileExists() { SetErr(kTextFileExists, kShownError); }
    void eBadIni() { SetErr(kTextBadIni, kShownError); }
    void eUnknown() { SetErr(kTextUnknown, kShownError); }
    void eMisc(const std::wstring& descr) { SetErr(descr, kShownError); }
    void eHidden() { SetErr(L"", kHiddenError); }

    /// The pending error's text ("" when none).
    const std::wstring& Description() const { return m_errDescr; }
    std::int32_t Code() const { return m_errCode; }
    /// The caption the message window will carry.
    const std::wstring& Caption() const { return m_caption; }
    const IconId& Icon() const { return m_icon; }

private:
    void SetErr(const std::wstring& descr, std::int32_t code);
    /// "Ok", in a modal or a modeless showing.
    void Command1_Click() override;
    /// The close box unloads the window: a later showing starts from the design values again.
    void Form_Unload() override;

    MessageWindow& m_window;
    std::int32_t m_errCode = kNoError;
    std::wstring m_errDescr;
    std::wstring m_caption = kDesignCaption;
    IconId m_icon;
    std::wstring m_label = L"Label1"; ///< the label's text as last shown
};

} // namespace ui
