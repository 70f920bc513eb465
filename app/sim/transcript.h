// What the user saw during one run of glattmark-sim, written as JSON for people and for tests: the
// dialog as the program proposed it, every message shown, how the run ended, the row's layout and the
// texts the layout measured.
#pragma once

#include "app/main_dialog_view.h"
#include "symbols/summary_calculation.h"
#include "symbols/symbol_list.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app::sim
{

/// The dialog right after it was shown, before any answer was applied.
struct DialogSnapshot
{
    std::wstring caption;
    std::vector<std::wstring> kindItems;
    std::int32_t kindIndex = -1;
    std::wstring kindText;
    std::int32_t picture = 0; ///< bitmap resource id, 101 to 103
    std::vector<std::wstring> roughItems;
    std::wstring roughText;
    std::wstring roughLabel;
    std::vector<std::wstring> methodItems;
    std::wstring methodText;
    bool normFixVisible = false;
    bool normFixEnabled = false;
    bool normFixChecked = false;
};

/// One message as it was shown: window "error" (the error object's window) or "messagebox".
struct TranscriptMessage
{
    std::string window;
    std::wstring caption;
    std::wstring text;
};

/// One record of the row as the calculation placed it (metres).
struct LayoutRecord
{
    std::wstring name;
    double xOffset = 0;
    double xWidth = 0;
    double x = 0;
    double y = 0;
};

struct TranscriptLayout
{
    symbols::LayoutResults results;
    std::vector<LayoutRecord> records; ///< summary first, then the listed symbols
};

struct Transcript
{
    std::optional<DialogSnapshot> dialog; ///< nothing when the dialog was never shown
    std::vector<TranscriptMessage> messages;
    std::string ending = "error";           ///< "ok", "cancel", "close" or "error"
    std::optional<TranscriptLayout> layout; ///< nothing unless the calculation ran
    std::vector<symbols::Measurement> measurements;
};

/// The transcript's picture of a dialog state.
DialogSnapshot SnapshotOf(const MainDialogState& state);

/// The layout of a run, when the calculation ran: its results and the list's records 0 to sfsCount.
std::optional<TranscriptLayout> CaptureLayout(const symbols::LayoutResults& results, const symbols::SymbolList& list);

nlohmann::json TranscriptToJson(const Transcript& transcript);

/// Writes the transcript as UTF-8 JSON; false (with the reason in error) when the file cannot be written.
bool WriteTranscript(const std::string& path, const Transcript& transcript, std::wstring& error);

} // namespace app::sim
