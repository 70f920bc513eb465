// Filling the main dialog before it is shown: the three lists, the proposal and the "Normfix" box.
#pragma once

#include "app/main_dialog_view.h"
#include "config/settings.h"
#include "symbols/sfs_object.h"

#include <array>
#include <cstdint>

namespace app
{

/// The entries of the kind box, by list index (the symbol kind).
inline constexpr std::array<const wchar_t*, 3> kKindNames = {L"Grundlegend", L"Spanend", L"Roh"};
/// The kind proposed when neither the earlier summary nor the configuration names a valid one.
inline constexpr std::int32_t kFallbackKind = 1;

/// Proposes the earlier summary symbol's values when the scan found one (the summary record is named
/// "glmSymbol99"), else the configured standards, and writes the proposal into the dialog's state. The
/// kind box's list index is set to the summary's kind; firing the box's Click event for it, and drawing
/// the state, is the dialog's part.
///
/// What cannot be shown is replaced, never indexed past: a kind outside 0..2 becomes the configured
/// standard kind, or "Spanend" when that is invalid too (the summary record takes the replacement); a
/// standard roughness or method index outside the configured list proposes an empty text, as an
/// unconfigured list slot would.
void InitDialog(const config::Settings& settings, symbols::sfsObject& summary, MainDialogState& state);

/// True for a kind the kind box can show.
bool IsShownKind(std::int32_t kind);

} // namespace app
