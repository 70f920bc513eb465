#include "app/init_dialog.h"

#include "drawing/symbol_list_ops.h"

#include <algorithm>
#include <string>
#include <vector>

namespace app
{

namespace
{

/// Entries 0 to count - 1 of a configured list; a count beyond the capacity reads as the capacity.
template <typename List> std::vector<std::wstring> ListEntries(const List& list, std::int32_t count)
{
    const auto n = std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(list.size()));
    return {list.begin(), list.begin() + n};
}

/// The configured list entry at index, or "" when index lies outside the configured entries.
template <typename List> std::wstring StandardEntry(const List& list, std::int32_t count, std::int32_t index)
{
    const auto entries = ListEntries(list, count);
    if (index < 0 || index >= static_cast<std::int32_t>(entries.size()))
        return {};
    return entries[static_cast<std::size_t>(index)];
}

/// Clears the box, adds the items and sets the edit text directly (a text that is no item stays as it is).
void FillCombo(ComboBoxState& box, std::vector<std::wstring> items, const std::wstring& text)
{
    box.items = std::move(items);
    box.text = text;
    const auto found = std::find(box.items.begin(), box.items.end(), text);
    box.listIndex = found == box.items.end() ? -1 : static_cast<std::int32_t>(found - box.items.begin());
}

} // namespace

bool IsShownKind(std::int32_t kind)
{
    return kind >= 0 && kind < static_cast<std::int32_t>(kKindNames.size());
}

void InitDialog(const config::Settings& settings, symbols::sfsObject& summary, MainDialogState& state)
{
    const auto standardRough = StandardEntry(settings.roughList, settings.roughCount, settings.roughStandard);
    const auto standardMethode = StandardEntry(settings.methodeList, settings.methodeCount, settings.methodeStandard);

    if (summary.Name != drawing::kSummaryName)
    {
        summary.maxRoughStr = standardRough;
        summary.maxRoughName = settings.roughName;
        summary.sfsType = settings.standardType;
        summary.methodeStr = standardMethode;
    }
    if (!IsShownKind(summary.sfsType))
        summary.sfsType = IsShownKind(settings.standardType) ? settings.standardType : kFallbackKind;

    auto& kindBox = state.stdSFSSymbol;
    kindBox.items.assign(kKindNames.begin(), kKindNames.end());
    kindBox.listIndex = summary.sfsType;
    kindBox.text = kindBox.items[static_cast<std::size_t>(summary.sfsType)];

    FillCombo(state.stdSFSRough, ListEntries(settings.roughList, settings.roughCount), summary.maxRoughStr);
    state.label3Caption = L"Rauheit (" + settings.roughName + L")";
    FillCombo(state.stdSFSMet, ListEntries(settings.methodeList, settings.methodeCount), summary.methodeStr);

    state.cbNormFix.visible = settings.normFixEnabled;
    state.cbNormFix.enabled = !settings.normFixLocked;
    state.cbNormFix.value = 1;
}

} // namespace app
