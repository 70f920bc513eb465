#include "drawing/summary_insertion.h"

#include "drawing/drawing_access.h"
#include "drawing/symbol_list_ops.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace drawing
{
namespace
{

/// Switches toggle 24 on again through the application object, as the end of the row does.
void SwitchToggleOn(Work& work)
{
    host::Require(work.swAcc.swApp, "swApp")->SetUserPreferenceToggle(kToggleViewActivation, true);
}

/// A symbol or note just created, until it bears its name. Under the host's default name the next run would
/// take a symbol for one of the user's, list it and never remove it: so when a step up to the naming fails,
/// or the host refuses the name (another annotation of the sheet still bears it), the new annotation is
/// deleted again as the failure passes on.
template <typename Created> class UnnamedAnnotation
{
public:
    UnnamedAnnotation(host::DrawingPtr drawingDoc, std::shared_ptr<Created> created)
        : m_drawingDoc(std::move(drawingDoc)), m_created(std::move(created))
    {
    }
    UnnamedAnnotation(const UnnamedAnnotation&) = delete;
    UnnamedAnnotation& operator=(const UnnamedAnnotation&) = delete;
    ~UnnamedAnnotation()
    {
        if (!m_named)
            Delete();
    }

    /// Takes the annotation and names it. Failures pass on, and the annotation is deleted.
    host::AnnotationPtr Name(const std::wstring& name)
    {
        m_annotation = host::Require(m_created->GetAnnotation(), "GetAnnotation");
        host::RequireTrue(m_annotation->SetName(name), "SetName");
        m_named = true;
        return m_annotation;
    }

private:
    void Delete() noexcept
    {
        try
        {
            // Not obtained before: asked for once more.
            if (!m_annotation)
                m_annotation = m_created->GetAnnotation();
            if (!m_annotation)
                return;
            // Selected alone, so that the deletion takes nothing else with it.
            m_annotation->Select2(false, 0);
            m_drawingDoc->DeleteSelection(true);
        }
        catch (...)
        {
            // The host is gone or refuses: the failure that led here is the one to report.
        }
    }

    host::DrawingPtr m_drawingDoc;
    std::shared_ptr<Created> m_created;
    host::AnnotationPtr m_annotation;
    bool m_named = false;
};

/// position: the layout's bracket point itself, handed to the host by reference.
void InsertNote(Work& work, const host::DrawingPtr& drawingDoc, symbols::Point& position, const std::wstring& text,
                const std::wstring& name)
{
    // The host places the note where the sheet was picked.
    drawingDoc->SelectByIDRef(work.list.sheetName, L"SHEET", position.first, position.second, 0);
    const host::NotePtr note = drawingDoc->InsertNote(text);
    if (!note)
        return;
    UnnamedAnnotation unnamed(drawingDoc, note);
    note->put_Angle(0);
    note->SetBalloon(0, 0);
    const host::TextFormatPtr format = host::Require(note->GetTextFormat(), "GetTextFormat");
    format->put_TypeFaceName(work.settings.bracketFontName);
    format->put_CharHeightInPts(work.settings.bracketFontHeight);
    format->put_Bold(false);
    note->SetTextFormat(0, format);
    // Unnamed, the note would survive the next run's removal: that is a failure, not a note left as it is.
    unnamed.Name(name);
}

} // namespace

bool InsertSummary(Work& work)
{
    // Trapped: the first failure ends the insertion with one fixed message.
    try
    {
        InsertSymbolRow(work);
        if (work.list.sfsCount > 0)
            InsertBracketNotes(work);
        return true;
    }
    catch (const host::Error& error)
    {
        // A host busy beyond the limit is no fault of the drawing: the run ends with the busy message.
        if (host::IsBusy(error))
            throw;
        work.cc.eMisc(kTextSymbolsNotCreated);
        return false;
    }
}

void InsertSymbolRow(Work& work)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(work);
    // With toggle 24 (dynamic view activation) on, the host may attach a new annotation to the drawing view
    // nearest the pick point instead of the sheet.
    const bool toggleWasOff = !drawingDoc->GetUserPreferenceToggle(kToggleViewActivation);
    if (!toggleWasOff)
        drawingDoc->SetUserPreferenceToggle(kToggleViewActivation, false);

    try
    {
        drawingDoc->ActivateSheet(work.list.sheetName);
        const std::int32_t count = std::clamp(work.list.sfsCount, std::int32_t{0}, symbols::kMaxDistinct);
        for (std::int32_t i = 0; i <= count; ++i)
            InsertSymbol(work, work.list.sfsList[static_cast<std::size_t>(i)]);
    }
    catch (...)
    {
        // The user's setting must not be lost because the row broke off.
        if (!toggleWasOff)
        {
            try
            {
                SwitchToggleOn(work);
            }
            catch (const host::Error&)
            {
                // The host is gone or refuses; the original failure is the one to report.
            }
        }
        throw;
    }

    if (!toggleWasOff)
        SwitchToggleOn(work);
}

void InsertSymbol(Work& work, const symbols::sfsObject& record)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(work);
    // The record's position reaches the host only as the pick point of this sheet selection.
    drawingDoc->SelectByID(work.list.sheetName, L"SHEET", record.X, record.y, 0);

    const host::SFSymbolPtr symbol =
        RequireExtension(drawingDoc)
            ->InsertSurfaceFinishSymbol3(record.sfsType, 0, 0.0, 0.0, 0.0, record.direction, 1, L"", record.maxRoughStr,
                                         record.methodeStr, record.maxRoughName, record.maxR, record.minR,
                                         record.roughSpacing);
    if (!symbol)
        return;

    UnnamedAnnotation unnamed(drawingDoc, symbol);
    symbol->SetSymbol(record.sfsType, 0, record.allRound);
    symbol->SetText(1, record.matTolerance);
    symbol->SetText(8, record.rv1);
    symbol->SetText(9, record.rv2);
    symbol->SetText(10, record.rv3);

    // Unnamed, the symbol would be neither found nor replaced by the next run: a failure, not a skip.
    const host::AnnotationPtr annotation = unnamed.Name(record.Name);
    const host::TextFormatPtr format = host::Require(annotation->GetTextFormat(0), "GetTextFormat");
    // The setting is in points; a height of 14 gives 3.5 mm.
    format->put_TypeFaceName(work.settings.symbolFontName);
    format->put_CharHeight(work.settings.symbolFontHeight / 4000.0);
    annotation->SetTextFormat(0, false, format);
}

void InsertBracketNotes(Work& work)
{
    const host::DrawingPtr drawingDoc = RequireDrawing(work);
    // A missing left note does not keep the right one from being inserted.
    InsertNote(work, drawingDoc, work.layout.lBracketPos, L"(", kLeftNoteName);
    InsertNote(work, drawingDoc, work.layout.rBracketPos, L")", kRightNoteName);
}

} // namespace drawing
