#include "app/frm_main.h"

#include "app/init_dialog.h"
#include "config/settings.h"
#include "drawing/norm_fix.h"
#include "drawing/previous_output_removal.h"
#include "drawing/sheet_scan.h"
#include "drawing/summary_insertion.h"
#include "drawing/symbol_list_ops.h"
#include "host/host_error.h"
#include "symbols/summary_calculation.h"
#include "ui/platform.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

namespace app
{

namespace
{

/// Thrown by ShutDown inside a handler, caught only at the outermost handler's boundary: nothing after a
/// ShutDown runs, in whatever procedure it was called.
struct RunEnded
{
};

/// Sets the edit text directly; the list index follows when the text is one of the entries.
void SetComboText(ComboBoxState& box, const std::wstring& text)
{
    box.text = text;
    const auto found = std::find(box.items.begin(), box.items.end(), text);
    box.listIndex = found == box.items.end() ? -1 : static_cast<std::int32_t>(found - box.items.begin());
}

} // namespace

std::string EndingName(Ending ending)
{
    switch (ending)
    {
    case Ending::Ok:
        return "ok";
    case Ending::Cancel:
        return "cancel";
    case Ending::Close:
        return "close";
    case Ending::Error:
        return "error";
    case Ending::None:
        break;
    }
    return {};
}

frmMain::frmMain(Run& run, MainDialogView& view) : m_run(run), m_view(view)
{
    m_state.caption = kCaption;
}

// Every public member runs its body through Handle. The outermost one is the boundary: it catches the
// end of the run and any failure nothing below recorded; a control event fired from inside another
// handler (the kind box's Click while the dialog is filled) lets everything pass to the outer one.
// What the user does while a handler runs is ignored: a modal message window (the Normfix report) runs
// a nested message loop, and a second "Ok" there would start the work sequence inside itself.
template <typename Body> void frmMain::Handle(Source source, Body&& body)
{
    if (m_ended)
        return;
    if (m_handlerDepth > 0)
    {
        if (source == Source::Control)
            body();
        return;
    }
    ++m_handlerDepth;
    std::optional<Failure> failure;
    try
    {
        body();
    }
    catch (const RunEnded&)
    {
    }
    catch (const host::Error& error)
    {
        failure = host::IsBusy(error) ? Failure::HostBusy : Failure::Host;
    }
    catch (...)
    {
        failure = Failure::Unexpected;
    }
    --m_handlerDepth;
    if (failure)
        EndOnFailure(*failure);
}

// The handler of last resort: the failure was recorded by nobody, so it is recorded here, replacing
// whatever was pending (that error was not the cause of the run's end), and shown by ShutDown.
void frmMain::EndOnFailure(Failure failure)
{
    const wchar_t* text = nullptr;
    switch (failure)
    {
    case Failure::Host:
        text = m_drawingTouched ? kHostFailurePartly : kHostFailureUntouched;
        break;
    case Failure::HostBusy:
        text = m_drawingTouched ? kHostBusyPartly : kHostBusyUntouched;
        break;
    case Failure::Unexpected:
        text = m_drawingTouched ? kUnexpectedPartly : kUnexpectedUntouched;
        break;
    }
    try
    {
        m_run.cc.eMisc(text);
        m_intended = Ending::Error;
        ShutDown();
    }
    catch (...)
    {
        // Showing the message failed as well: the run still ends, with nothing further attempted.
        m_run.ReleaseHostReferences();
        m_ended = true;
        m_ending = Ending::Error;
    }
}

void frmMain::Form_Load()
{
    Handle(Source::User, [this] {
        // One job per start: loading twice would scan and attach a second time.
        if (m_loaded)
            return;
        m_loaded = true;
        StartUp();
    });
}

void frmMain::StartUp()
{
    auto& run = m_run;
    m_intended = Ending::Error;
    run.cc.Init(kCaption, kIconId, true);
    config::LoadSettings(run.iniHandler, run.iniPath, run.ports.platform, run.settings, run.cc);
    run.ports.connector.SetCallLimits(host::CallLimits{run.settings.busyTimeout, run.settings.hangTimeout});
    OpenLog();
    run.swAcc = std::make_unique<host::swAccess>(run.cc, run.ports.connector);
    run.swAcc->Link(nullptr);
    run.swAcc->GetDrawing(false);
    StartLog();
    drawing::Work scan = run.DrawingWork();
    drawing::ScanSheet(scan);
    if (run.cc.IsErr())
        ShutDown();

    ui::SetTopMost(run.ports.platform, m_view.WindowHandle());
    InitDialog(run.settings, run.list.sfsList[0], m_state);
    // Filling the kind box set its list index, which fires the box's Click event.
    stdSFSSymbol_Click();
    m_view.Render(m_state);
    m_state.visible = true;
    m_view.ShowModeless(m_state, *this);
    m_intended = Ending::Cancel;
    run.cc.DisplayError();
}

// The log of host calls, when the configuration (or glattmark-sim's --log) names one. A log that cannot be
// opened is no error: the run goes on as without one.
void frmMain::OpenLog()
{
    auto& run = m_run;
    const std::wstring& file = run.logFile.empty() ? run.settings.logFile : run.logFile;
    if (file.empty())
        return;
    RunLogStart start{GLM_VERSION, run.iniPath, run.ports.platform.LoginName().value_or(L"")};
    if (run.log.Open(LogPathBesideIni(file, run.iniPath), std::move(start)))
        run.ports.connector.ObserveCalls(&run.log);
}

// The start line names the document the run found. Its path is asked only here, for the log: a run without
// the log makes the host calls it always made. Whatever the host answers, the run goes on as it would.
void frmMain::StartLog()
{
    auto& run = m_run;
    if (!run.log.IsOpen())
        return;
    std::optional<std::wstring> document;
    if (run.swAcc && run.swAcc->ActiveDoc)
    {
        try
        {
            document = run.swAcc->ActiveDoc->GetPathName();
        }
        catch (const host::Error&)
        {
            // The failed call is in the log; the document stays unknown.
        }
    }
    run.log.Start(document);
}

void frmMain::cmd_Ok_Click()
{
    Handle(Source::User, [this] { Work(); });
}

void frmMain::Work()
{
    auto& run = m_run;
    auto& summary = run.list.sfsList[0];
    const auto kind = m_state.stdSFSSymbol.listIndex >= 0 ? m_state.stdSFSSymbol.listIndex : symbolKind;
    summary.sfsType = static_cast<std::int16_t>(kind);
    summary.methodeStr = m_state.stdSFSMet.text;
    summary.maxRoughStr = m_state.stdSFSRough.text;
    summary.Name = drawing::kSummaryName;
    summary.maxRoughName = summary.sfsType == 2 ? std::wstring() : run.settings.roughName;

    m_intended = Ending::Error;
    if (m_state.cbNormFix.value == 1 && run.settings.normFixEnabled)
    {
        m_drawingTouched = true;
        const std::int32_t corrected = drawing::RunNormFix(run.list);
        if (corrected > 0 && run.settings.normFixFeedback)
            run.ports.reportBox.Show(run.cc.Caption(), drawing::NormFixReport(corrected));
        drawing::MergeEqualSymbols(run.list);
    }
    drawing::RemoveSummaryFromList(run.list);
    if (run.settings.sortSymbols == 1)
        drawing::SortList(run.list, run.ports.platform.DecimalSeparator());
    if (run.settings.rowForm == config::kSimplifiedForm)
        drawing::SimplifyList(run.list);
    if (!symbols::CalculateSummary(run.settings, run.list, run.txtCalc, run.layout, run.cc))
        ShutDown();

    HideDialog();
    m_drawingTouched = true;
    drawing::Work work = run.DrawingWork();
    if (!drawing::RemovePrevious(work))
        ShutDown();
    if (!drawing::InsertSummary(work))
        ShutDown();

    drawing::RequireDrawing(work)->EditRebuild();
    m_intended = Ending::Ok;
    ShutDown();
}

void frmMain::cmd_Cancel_Click()
{
    Handle(Source::User, [this] {
        m_intended = Ending::Cancel;
        ShutDown();
    });
}

void frmMain::Form_Unload()
{
    Handle(Source::User, [this] {
        m_run.ReleaseHostReferences();
        m_ended = true;
        m_ending = Ending::Close;
        m_state.visible = false;
    });
}

void frmMain::stdSFSSymbol_Click()
{
    Handle(Source::Control, [this] {
        const auto index = m_state.stdSFSSymbol.listIndex;
        if (!IsShownKind(index))
            return;
        symbolKind = static_cast<std::int16_t>(index);
        m_state.sfsPicture = kPictureBase + symbolKind;
    });
}

void frmMain::stdSFSSymbol_Change()
{
    Handle(Source::Control, [this] { SetKindListIndex(symbolKind); });
}

void frmMain::ShutDown()
{
    if (!m_ended)
    {
        HideDialog();
        bool errorShown = false;
        if (m_run.cc.IsErr())
        {
            errorShown = m_run.cc.Code() != ui::ErrorObject::kHiddenError;
            m_run.cc.DisplayError();
        }
        m_run.ReleaseHostReferences();
        m_ended = true;
        m_ending = errorShown ? Ending::Error : m_intended;
    }
    if (m_handlerDepth > 0)
        throw RunEnded{};
}

void frmMain::AbandonHungHost()
{
    if (m_ended)
        return;
    try
    {
        HideDialog();
        m_run.cc.eMisc(m_drawingTouched ? kHostFailurePartly : kHostFailureUntouched);
        m_run.cc.DisplayError();
    }
    catch (...)
    {
        // The message could not be shown; the run ends all the same.
    }
    m_ended = true;
    m_ending = Ending::Error;
}

void frmMain::ChooseKind(std::int32_t index)
{
    Handle(Source::User, [this, index] {
        if (index < 0 || index >= static_cast<std::int32_t>(m_state.stdSFSSymbol.items.size()))
            return;
        SetKindListIndex(index);
        m_view.Render(m_state);
    });
}

void frmMain::TypeKindText(const std::wstring& text)
{
    Handle(Source::User, [this, &text] {
        SetComboText(m_state.stdSFSSymbol, text);
        stdSFSSymbol_Change();
        m_view.Render(m_state);
    });
}

void frmMain::SetMethodText(const std::wstring& text)
{
    Handle(Source::User, [this, &text] {
        SetComboText(m_state.stdSFSMet, text);
        m_view.Render(m_state);
    });
}

void frmMain::SetRoughText(const std::wstring& text)
{
    Handle(Source::User, [this, &text] {
        SetComboText(m_state.stdSFSRough, text);
        m_view.Render(m_state);
    });
}

void frmMain::SetNormFix(bool checked)
{
    Handle(Source::User, [this, checked] {
        if (!m_state.cbNormFix.visible || !m_state.cbNormFix.enabled)
            return;
        m_state.cbNormFix.value = checked ? 1 : 0;
        m_view.Render(m_state);
    });
}

// Setting the list index selects the entry and fires the Click handler, as the control does.
void frmMain::SetKindListIndex(std::int32_t index)
{
    auto& box = m_state.stdSFSSymbol;
    if (index < 0 || index >= static_cast<std::int32_t>(box.items.size()))
        return;
    box.listIndex = index;
    box.text = box.items[static_cast<std::size_t>(index)];
    stdSFSSymbol_Click();
}

void frmMain::HideDialog()
{
    m_state.visible = false;
    m_view.Hide();
}

} // namespace app
