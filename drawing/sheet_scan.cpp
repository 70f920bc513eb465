#include "drawing/sheet_scan.h"

#include "drawing/font_check.h"
#include "drawing/symbol_list_ops.h"
#include "ui/conversions.h"

#include <algorithm>

namespace drawing
{
namespace
{

/// The dup list and the own-symbol list hold this many entries each (indices 0 to 200).
constexpr std::int32_t kMaxEntries = symbols::kListCapacity;

/// Sorts one symbol of the sheet into the lists. False when a list is full.
bool TakeSymbol(symbols::SymbolList& list, const symbols::sfsObject& work)
{
    if (IsOwnSymbolName(work.Name))
    {
        if (list.ownSymbolCount >= kMaxEntries)
            return false;
        list.ownSymbols[static_cast<std::size_t>(list.ownSymbolCount)] = work.obj;
        ++list.ownSymbolCount;
        // The earlier summary becomes the dialog's proposal, name included.
        if (IsSummaryName(work.Name))
            list.sfsList[0].CopyFrom(work, L"");
        return true;
    }

    if (FindInList(list, work) == -1)
    {
        if (list.sfsCount >= symbols::kMaxDistinct)
            return false;
        ++list.sfsCount;
        list.sfsList[static_cast<std::size_t>(list.sfsCount)].CopyFrom(work, ListSymbolName(list.sfsCount));
        return true;
    }

    if (list.sfsDupCount >= kMaxEntries)
        return false;
    list.sfsDupList[static_cast<std::size_t>(list.sfsDupCount)].CopyFrom(work, L"");
    ++list.sfsDupCount;
    return true;
}

/// What the scan does with the program's own output: on the current sheet it is the row to replace and the
/// proposal; on another sheet it is that sheet's row, left as it is.
enum class OwnOutput
{
    Take,
    PassOver,
};

/// Sorts the symbols of one view into the lists. False when a list is full.
bool TakeSymbolsOf(const host::ViewPtr& view, symbols::SymbolList& list, symbols::sfsObject& found, OwnOutput own)
{
    for (host::SFSymbolPtr symbol = view->GetFirstSFSymbol(); symbol; symbol = symbol->GetNext())
    {
        found.LoadFromSWX(symbol);
        if (own == OwnOutput::PassOver && IsOwnSymbolName(found.Name))
            continue;
        if (!TakeSymbol(list, found))
            return false;
    }
    return true;
}

/// The symbols of every sheet but the current one, sheet by sheet in the order the host gives. One call
/// answers all of them. False when a list is full.
bool TakeOtherSheets(const host::DrawingPtr& drawingDoc, symbols::SymbolList& list, symbols::sfsObject& found)
{
    for (const std::vector<host::ViewPtr>& sheetViews : drawingDoc->GetViews())
    {
        // The host puts the sheets in an order of its own; the current sheet, walked already, is known by its
        // first view, the sheet itself, which bears the sheet's name.
        if (sheetViews.empty() || host::Require(sheetViews.front(), "GetViews")->GetName() == list.sheetName)
            continue;
        for (const host::ViewPtr& view : sheetViews)
        {
            if (!TakeSymbolsOf(host::Require(view, "GetViews"), list, found, OwnOutput::PassOver))
                return false;
        }
    }
    return true;
}

} // namespace

std::wstring UnknownFormatMessage(std::int32_t formatCode)
{
    return L"Blattformat (" + std::to_wstring(formatCode) + L") nicht gefunden. Bitte Konfiguration pr\u00fcfen.";
}

void ScanSheet(Work& work)
{
    if (work.cc.IsErr())
        return;

    auto& list = work.list;
    list.sfsCount = 0;
    list.sfsDupCount = 0;
    list.ownSymbolCount = 0;
    list.sfsList[0].Name.clear();

    const host::DrawingPtr drawingDoc = RequireDrawing(work);
    list.sheetName = RequireCurrentSheet(drawingDoc)->GetName();

    const bool wholeDrawing = work.settings.scanScope == config::kWholeDrawing;
    const wchar_t* const tooMany = wholeDrawing ? kTextTooManySymbolsInDrawing : kTextTooManySymbols;
    symbols::sfsObject found;
    // The walk yields the current sheet itself first, then its drawing views: every symbol found stands
    // on this sheet.
    for (host::ViewPtr view = drawingDoc->GetFirstView(); view; view = view->GetNextView())
    {
        if (!TakeSymbolsOf(view, list, found, OwnOutput::Take))
        {
            work.cc.eMisc(tooMany);
            return;
        }
    }
    if (wholeDrawing && !TakeOtherSheets(drawingDoc, list, found))
    {
        work.cc.eMisc(tooMany);
        return;
    }

    CheckFonts(work);

    const std::int32_t code = GetSheetFormatCode(work);
    const std::int32_t searched = std::clamp(work.settings.formatCount, std::int32_t{0}, config::kFormatCapacity);
    list.formatIndex = -1;
    for (std::int32_t i = 0; i < searched; ++i)
    {
        if (work.settings.formats[static_cast<std::size_t>(i)].FormatCode == code)
        {
            list.formatIndex = i;
            return;
        }
    }
    work.cc.eMisc(UnknownFormatMessage(code));
}

std::int32_t GetSheetFormatCode(const Work& work)
{
    const std::vector<double> properties = RequireCurrentSheet(RequireDrawing(work))->GetProperties();
    // Without the paper size, or for a user-defined size without width and height, the sheet answered
    // nothing the program can go on with.
    if (properties.empty())
        throw host::Error(host::kNoObject, "GetProperties", "answered no paper size");
    if (properties[0] != kUserDefinedPaperSize)
        return ui::RoundToInt32(properties[0]);
    if (properties.size() < 7)
        throw host::Error(host::kNoObject, "GetProperties", "answered no sheet size");
    // Width and height are metres: the code reads as width mm x 10000 + height mm.
    return ui::RoundToInt32(properties[6] * 1000 + properties[5] * 10000000);
}

} // namespace drawing
