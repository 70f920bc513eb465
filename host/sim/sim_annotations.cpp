#include "host/sim/sim_annotations.h"

#include "host/call_log.h"
#include "host/host_error.h"
#include "host/object_kinds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace host::sim
{

namespace
{

constexpr double kMetresPerPoint = 0.0254 / 72.0;
constexpr std::int32_t kInvalidArg = static_cast<std::int32_t>(0x80070057u); // E_INVALIDARG

bool SameObject(const SelectionEntry& a, const SelectionEntry& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind)
    {
    case SelectedKind::kSheet:
        return a.sheet == b.sheet;
    case SelectedKind::kView:
        return a.sheet == b.sheet && a.view == b.view;
    case SelectedKind::kSymbol:
    case SelectedKind::kNote:
        return a.annotation == b.annotation;
    }
    return false;
}

void RequireFinite(SimState& state, double value)
{
    if (!std::isfinite(value))
        state.Fail(kInvalidArg, "not a finite number");
}

class SimSheet final : public host::Sheet
{
public:
    SimSheet(StatePtr state, std::size_t document, std::size_t sheet)
        : m_state(std::move(state)), m_document(document), m_sheet(sheet)
    {
    }

    std::wstring GetName() override
    {
        const auto call = m_state->Enter(kind::kSheet, "GetName");
        return Model().name;
    }

    std::vector<double> GetProperties() override
    {
        const auto call = m_state->Enter(kind::kSheet, "GetProperties");
        return Model().properties;
    }

private:
    SheetModel& Model() { return m_state->Document(m_document).sheets.at(m_sheet); }

    StatePtr m_state;
    std::size_t m_document;
    std::size_t m_sheet;
};

class SimView final : public host::View
{
public:
    SimView(StatePtr state, std::size_t document, std::size_t sheet, std::optional<std::size_t> view)
        : m_state(std::move(state)), m_document(document), m_sheet(sheet), m_view(view)
    {
    }

    host::ViewPtr GetNextView() override
    {
        const auto call = m_state->Enter(kind::kView, "GetNextView");
        if (call.Nothing())
            return nullptr;
        const auto next = m_view ? *m_view + 1 : 0;
        if (next >= Sheet().views.size())
            return nullptr;
        return MakeView(m_state, m_document, m_sheet, next);
    }

    host::SFSymbolPtr GetFirstSFSymbol() override
    {
        const auto call = m_state->Enter(kind::kView, "GetFirstSFSymbol");
        if (call.Nothing())
            return nullptr;
        const auto& symbols = m_view ? Sheet().views.at(*m_view).symbols : Sheet().symbols;
        return symbols.empty() ? nullptr : MakeSymbol(m_state, symbols.front().id);
    }

    std::wstring GetReferencedModelName() override
    {
        const auto call = m_state->Enter(kind::kView, "GetReferencedModelName");
        return m_view ? Sheet().views.at(*m_view).referencedModel : std::wstring();
    }

    std::wstring GetName() override
    {
        const auto call = m_state->Enter(kind::kView, "GetName");
        return m_view ? Sheet().views.at(*m_view).name : Sheet().name;
    }

private:
    SheetModel& Sheet() { return m_state->Document(m_document).sheets.at(m_sheet); }

    StatePtr m_state;
    std::size_t m_document;
    std::size_t m_sheet;
    std::optional<std::size_t> m_view;
};

class SimTextFormat final : public host::TextFormat
{
public:
    SimTextFormat(StatePtr state, TextFormatModel format) : m_state(std::move(state)), m_format(std::move(format))
    {
        m_format.file = nullptr; // a copy is a new object, not the one the file described
    }

    const TextFormatModel& Format() const { return m_format; }

    std::wstring get_TypeFaceName() override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "TypeFaceName");
        return m_format.typeFaceName;
    }
    void put_TypeFaceName(const std::wstring& name) override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "TypeFaceName", {vt::kBstr});
        m_format.typeFaceName = name;
    }
    double get_CharHeight() override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "CharHeight");
        return m_format.charHeight;
    }
    void put_CharHeight(double metres) override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "CharHeight", {vt::kR8});
        RequireFinite(*m_state, metres);
        m_format.charHeight = metres;
    }
    std::int32_t get_CharHeightInPts() override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "CharHeightInPts");
        // A height given as a whole and a half points comes back from the division a hair off the half
        // (13.5 pt reads as 13.4999...); it is taken as the half, so that halves go away from zero.
        const double exact = m_format.charHeight / kMetresPerPoint;
        const double halves = std::round(exact * 2.0);
        const bool onHalf = std::fabs(exact * 2.0 - halves) <= 1e-9 * std::max(1.0, std::fabs(exact));
        const double points = std::round(onHalf ? halves / 2.0 : exact); // std::round: halves away from zero
        return static_cast<std::int32_t>(std::clamp(points, double{std::numeric_limits<std::int32_t>::min()},
                                                    double{std::numeric_limits<std::int32_t>::max()}));
    }
    void put_CharHeightInPts(std::int32_t points) override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "CharHeightInPts", {vt::kI4});
        m_format.charHeight = points * kMetresPerPoint;
    }
    bool get_Bold() override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "Bold");
        return m_format.bold;
    }
    void put_Bold(bool bold) override
    {
        const auto call = m_state->Enter(kind::kTextFormat, "Bold", {vt::kBool});
        m_format.bold = bold;
    }

private:
    StatePtr m_state;
    TextFormatModel m_format;
};

/// Shared by the symbol, note and annotation objects: they all stand for one annotation of the model.
class AnnotationRef
{
public:
    AnnotationRef(StatePtr state, AnnotationId id) : m_state(std::move(state)), m_id(id) {}

protected:
    Located At() { return m_state->LocateOrFail(m_id); }
    TextFormatModel& FormatOf(const Located& at) { return at.symbol ? at.symbol->textFormat : at.note->textFormat; }
    /// The document's own format for this kind of annotation: 5 for symbols, 0 for notes.
    TextFormatModel DocumentFormat(const Located& at) { return DocumentTextFormat(*at.document, at.symbol ? 5 : 0); }

    StatePtr m_state;
    AnnotationId m_id;
};

class SimAnnotation final : public host::Annotation, private AnnotationRef
{
public:
    using AnnotationRef::AnnotationRef;

    std::wstring GetName() override
    {
        const auto call = m_state->Enter(kind::kAnnotation, "GetName");
        const auto at = At();
        return at.symbol ? at.symbol->name : at.note->name;
    }

    bool SetName(const std::wstring& nameIn) override
    {
        const auto call = m_state->Enter(kind::kAnnotation, "SetName", {vt::kBstr});
        const auto at = At();
        if (nameIn.empty() || m_state->NameTaken(*at.sheet, nameIn, m_id))
            return false;
        (at.symbol ? at.symbol->name : at.note->name) = nameIn;
        return true;
    }

    host::TextFormatPtr GetTextFormat(std::int16_t /*index*/) override
    {
        const auto call = m_state->Enter(kind::kAnnotation, "GetTextFormat", {vt::kI2});
        if (call.Nothing())
            return nullptr;
        return MakeTextFormat(m_state, FormatOf(At()));
    }

    bool SetTextFormat(std::int16_t /*index*/, bool useDoc, const host::TextFormatPtr& textFormat) override
    {
        const auto call = m_state->Enter(kind::kAnnotation, "SetTextFormat",
                                         {vt::kI2, vt::kBool, textFormat ? vt::kRefDispatch : vt::kRefNullDispatch});
        const auto at = At();
        if (useDoc)
        {
            FormatOf(at) = DocumentFormat(at);
            return true;
        }
        const auto format = TextFormatOf(textFormat);
        if (!format)
            return false;
        FormatOf(at) = *format;
        return true;
    }

    bool Select2(bool append, std::int16_t mark) override
    {
        const auto call = m_state->Enter(kind::kAnnotation, "Select2", {vt::kBool, vt::kI2});
        const auto at = At();
        SelectionEntry entry;
        entry.kind = at.symbol ? SelectedKind::kSymbol : SelectedKind::kNote;
        entry.sheet = at.sheetIndex;
        entry.annotation = m_id;
        entry.mark = mark;
        SelectObject(*at.document, entry, append, false);
        return true;
    }
};

class SimSFSymbol final : public host::SFSymbol, private AnnotationRef
{
public:
    using AnnotationRef::AnnotationRef;

    host::SFSymbolPtr GetNext() override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetNext");
        if (call.Nothing())
            return nullptr;
        const auto at = At();
        const auto& symbols = at.viewIndex ? at.sheet->views[*at.viewIndex].symbols : at.sheet->symbols;
        const auto it = std::find_if(symbols.begin(), symbols.end(), [&](const auto& s) { return s.id == m_id; });
        if (it == symbols.end() || std::next(it) == symbols.end())
            return nullptr;
        return MakeSymbol(m_state, std::next(it)->id);
    }

    std::int32_t GetSymbolType() override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetSymbolType");
        return Symbol().type;
    }

    host::OptionalText GetText(std::int16_t whichOne) override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetText", {vt::kI2});
        const auto& symbol = Symbol();
        if (whichOne < 1 || whichOne > 10)
            return std::wstring();
        return symbol.texts[static_cast<std::size_t>(whichOne)];
    }

    bool GetSymbolAllAround() override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetSymbolAllAround");
        return Symbol().allAround;
    }

    std::int32_t GetDirectionOfLay() override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetDirectionOfLay");
        return Symbol().direction;
    }

    host::AnnotationPtr GetAnnotation() override
    {
        const auto call = m_state->Enter(kind::kSymbol, "GetAnnotation");
        if (call.Nothing())
            return nullptr;
        (void)Symbol();
        return MakeAnnotation(m_state, m_id);
    }

    bool SetSymbol(std::int32_t symbol, std::int16_t /*surfaceTexture*/, bool allAround) override
    {
        const auto call = m_state->Enter(kind::kSymbol, "SetSymbol", {vt::kI4, vt::kI2, vt::kBool});
        auto& model = Symbol();
        if (symbol < 0 || symbol > 9)
            return false;
        model.type = symbol;
        if (symbol <= 2) // all-around belongs to the three ISO kinds
            model.allAround = allAround;
        return true;
    }

    bool SetText(std::int16_t whichOne, const host::OptionalText& text) override
    {
        const auto call = m_state->Enter(kind::kSymbol, "SetText", {vt::kI2, text ? vt::kBstr : vt::kEmpty});
        auto& model = Symbol();
        if (whichOne < 1 || whichOne > 10)
            return false;
        model.texts[static_cast<std::size_t>(whichOne)] = text;
        return true;
    }

private:
    SymbolModel& Symbol()
    {
        const auto at = At();
        if (!at.symbol)
            m_state->Fail(host::kDispException, "the object is no surface-finish symbol");
        return *at.symbol;
    }
};

class SimNote final : public host::Note, private AnnotationRef
{
public:
    using AnnotationRef::AnnotationRef;

    void put_Angle(double radians) override
    {
        const auto call = m_state->Enter(kind::kNote, "Angle", {vt::kR8});
        auto& note = Note();
        RequireFinite(*m_state, radians);
        // The host keeps the angle within one turn either way.
        note.angle = std::fmod(radians, 2.0 * std::numbers::pi);
    }

    bool SetBalloon(std::int16_t style, std::int16_t size) override
    {
        const auto call = m_state->Enter(kind::kNote, "SetBalloon", {vt::kI2, vt::kI2});
        auto& note = Note();
        if (style < 0 || size < 0)
            return false;
        note.balloon = BalloonModel{style, style == 0 ? std::int16_t{0} : size};
        return true;
    }

    host::TextFormatPtr GetTextFormat() override
    {
        const auto call = m_state->Enter(kind::kNote, "GetTextFormat");
        if (call.Nothing())
            return nullptr;
        return MakeTextFormat(m_state, Note().textFormat);
    }

    bool SetTextFormat(std::int16_t textFormatType, const host::TextFormatPtr& textFormat) override
    {
        const auto call = m_state->Enter(kind::kNote, "SetTextFormat",
                                         {vt::kI2, textFormat ? vt::kRefDispatch : vt::kRefNullDispatch});
        const auto at = At();
        auto& note = Note();
        if (textFormatType != 0)
        {
            note.textFormat = DocumentFormat(at);
            return true;
        }
        const auto format = TextFormatOf(textFormat);
        if (!format)
            return false;
        note.textFormat = *format;
        return true;
    }

    host::AnnotationPtr GetAnnotation() override
    {
        const auto call = m_state->Enter(kind::kNote, "GetAnnotation");
        if (call.Nothing())
            return nullptr;
        (void)Note();
        return MakeAnnotation(m_state, m_id);
    }

private:
    NoteModel& Note()
    {
        const auto at = At();
        if (!at.note)
            m_state->Fail(host::kDispException, "the object is no note");
        return *at.note;
    }
};

} // namespace

host::SheetPtr MakeSheet(StatePtr state, std::size_t document, std::size_t sheet)
{
    return MakeCounted<SimSheet>(state, state, document, sheet);
}

host::ViewPtr MakeView(StatePtr state, std::size_t document, std::size_t sheet, std::optional<std::size_t> view)
{
    return MakeCounted<SimView>(state, state, document, sheet, view);
}

host::SFSymbolPtr MakeSymbol(StatePtr state, AnnotationId id)
{
    return MakeCounted<SimSFSymbol>(state, state, id);
}

host::NotePtr MakeNote(StatePtr state, AnnotationId id)
{
    return MakeCounted<SimNote>(state, state, id);
}

host::AnnotationPtr MakeAnnotation(StatePtr state, AnnotationId id)
{
    return MakeCounted<SimAnnotation>(state, state, id);
}

host::TextFormatPtr MakeTextFormat(StatePtr state, TextFormatModel format)
{
    return MakeCounted<SimTextFormat>(state, state, std::move(format));
}

std::optional<TextFormatModel> TextFormatOf(const host::TextFormatPtr& textFormat)
{
    const auto* simFormat = dynamic_cast<const SimTextFormat*>(textFormat.get());
    if (simFormat == nullptr)
        return std::nullopt;
    return simFormat->Format();
}

void SelectObject(DocumentModel& document, const SelectionEntry& entry, bool append, bool toggle)
{
    auto& selection = document.selection;
    const auto it =
        std::find_if(selection.begin(), selection.end(), [&](const SelectionEntry& e) { return SameObject(e, entry); });
    if (!append)
    {
        selection.assign(1, entry);
        return;
    }
    if (it == selection.end())
        selection.push_back(entry);
    else if (toggle)
        selection.erase(it);
}

} // namespace host::sim
