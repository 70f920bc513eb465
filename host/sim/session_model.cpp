#include "host/sim/session_model.h"

#include <utility>

namespace host::sim
{

std::array<host::OptionalText, 11> EmptySymbolTexts()
{
    std::array<host::OptionalText, 11> texts;
    texts.fill(std::wstring());
    return texts;
}

TextFormatModel DocumentTextFormat(const DocumentModel& document, std::int32_t n)
{
    const auto it = document.textFormats.find(n);
    return it != document.textFormats.end() ? it->second : TextFormatModel{};
}

const SheetModel* FindSheet(const DocumentModel& document, std::wstring_view name)
{
    for (const auto& sheet : document.sheets)
        if (sheet.name == name)
            return &sheet;
    return nullptr;
}

SheetModel* FindSheet(DocumentModel& document, std::wstring_view name)
{
    return const_cast<SheetModel*>(FindSheet(std::as_const(document), name));
}

const SheetModel* CurrentSheet(const DocumentModel& document)
{
    if (document.type != host::kDrawing)
        return nullptr;
    return FindSheet(document, document.currentSheet);
}

SheetModel* CurrentSheet(DocumentModel& document)
{
    return const_cast<SheetModel*>(CurrentSheet(std::as_const(document)));
}

std::vector<const SymbolModel*> AllSymbols(const SheetModel& sheet)
{
    std::vector<const SymbolModel*> all;
    for (const auto& symbol : sheet.symbols)
        all.push_back(&symbol);
    for (const auto& view : sheet.views)
        for (const auto& symbol : view.symbols)
            all.push_back(&symbol);
    return all;
}

std::vector<const NoteModel*> AllNotes(const SheetModel& sheet)
{
    std::vector<const NoteModel*> all;
    for (const auto& note : sheet.notes)
        all.push_back(&note);
    for (const auto& view : sheet.views)
        for (const auto& note : view.notes)
            all.push_back(&note);
    return all;
}

const SymbolModel* FindSymbol(const SheetModel& sheet, std::wstring_view name)
{
    for (const auto* symbol : AllSymbols(sheet))
        if (symbol->name == name)
            return symbol;
    return nullptr;
}

const NoteModel* FindNote(const SheetModel& sheet, std::wstring_view name)
{
    for (const auto* note : AllNotes(sheet))
        if (note->name == name)
            return note;
    return nullptr;
}

} // namespace host::sim

namespace host::sim
{

namespace
{

template <typename Item> const Item* FindIn(const std::vector<Item>& items, std::wstring_view name)
{
    for (const auto& item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

} // namespace

std::optional<SelectionEntry> FindSelectable(const DocumentModel& document, std::wstring_view name,
                                             std::wstring_view type)
{
    SelectionEntry entry;
    if (type == L"SHEET")
    {
        for (std::size_t s = 0; s < document.sheets.size(); ++s)
            if (document.sheets[s].name == name)
            {
                entry.kind = SelectedKind::kSheet;
                entry.sheet = s;
                return entry;
            }
        return std::nullopt;
    }
    if (type == L"DRAWINGVIEW")
    {
        for (std::size_t s = 0; s < document.sheets.size(); ++s)
            for (std::size_t v = 0; v < document.sheets[s].views.size(); ++v)
                if (document.sheets[s].views[v].name == name)
                {
                    entry.kind = SelectedKind::kView;
                    entry.sheet = s;
                    entry.view = v;
                    return entry;
                }
        return std::nullopt;
    }
    const bool symbol = type == L"SFSYMBOL";
    if (!symbol && type != L"NOTE")
        return std::nullopt;
    const auto at = name.rfind(L'@');
    if (at == std::wstring_view::npos)
        return std::nullopt;
    const auto annotation = name.substr(0, at);
    const auto owner = name.substr(at + 1);
    entry.kind = symbol ? SelectedKind::kSymbol : SelectedKind::kNote;
    auto lookIn = [&](const auto& symbols, const auto& notes) {
        if (symbol)
        {
            const auto* found = FindIn(symbols, annotation);
            entry.annotation = found ? found->id : 0;
            return found != nullptr;
        }
        const auto* found = FindIn(notes, annotation);
        entry.annotation = found ? found->id : 0;
        return found != nullptr;
    };
    for (std::size_t s = 0; s < document.sheets.size(); ++s)
    {
        const auto& sheet = document.sheets[s];
        if (sheet.name != owner)
            continue;
        entry.sheet = s;
        if (lookIn(sheet.symbols, sheet.notes))
            return entry;
        for (const auto& view : sheet.views)
            if (lookIn(view.symbols, view.notes))
                return entry;
        return std::nullopt;
    }
    for (std::size_t s = 0; s < document.sheets.size(); ++s)
        for (const auto& view : document.sheets[s].views)
            if (view.name == owner && lookIn(view.symbols, view.notes))
            {
                entry.sheet = s;
                return entry;
            }
    return std::nullopt;
}

std::optional<SelectionName> NameSelection(const DocumentModel& document, const SelectionEntry& entry)
{
    if (entry.sheet >= document.sheets.size())
        return std::nullopt;
    const auto& sheet = document.sheets[entry.sheet];
    switch (entry.kind)
    {
    case SelectedKind::kSheet:
        return SelectionName{L"SHEET", sheet.name};
    case SelectedKind::kView:
        if (entry.view >= sheet.views.size())
            return std::nullopt;
        return SelectionName{L"DRAWINGVIEW", sheet.views[entry.view].name};
    case SelectedKind::kSymbol:
        for (const auto* symbol : AllSymbols(sheet))
            if (symbol->id == entry.annotation)
                return SelectionName{L"SFSYMBOL", symbol->name + L"@" + sheet.name};
        return std::nullopt;
    case SelectedKind::kNote:
        for (const auto* note : AllNotes(sheet))
            if (note->id == entry.annotation)
                return SelectionName{L"NOTE", note->name + L"@" + sheet.name};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace host::sim
