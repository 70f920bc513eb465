#include "app/sim/transcript.h"

#include "ui/conversions.h"

#include <algorithm>
#include <fstream>

namespace app::sim
{

namespace
{

using nlohmann::json;

json Text(const std::wstring& text)
{
    return ui::ToUtf8(text);
}

json Texts(const std::vector<std::wstring>& texts)
{
    json array = json::array();
    for (const std::wstring& text : texts)
        array.push_back(Text(text));
    return array;
}

json Pair(const symbols::Point& point)
{
    return json::array({point.first, point.second});
}

json DialogToJson(const DialogSnapshot& dialog)
{
    return {
        {"caption", Text(dialog.caption)},
        {"kind", {{"items", Texts(dialog.kindItems)}, {"index", dialog.kindIndex}, {"text", Text(dialog.kindText)}}},
        {"picture", dialog.picture},
        {"rough", {{"items", Texts(dialog.roughItems)}, {"text", Text(dialog.roughText)}}},
        {"roughLabel", Text(dialog.roughLabel)},
        {"method", {{"items", Texts(dialog.methodItems)}, {"text", Text(dialog.methodText)}}},
        {"normFix",
         {{"visible", dialog.normFixVisible}, {"enabled", dialog.normFixEnabled}, {"checked", dialog.normFixChecked}}},
    };
}

json LayoutToJson(const TranscriptLayout& layout)
{
    const symbols::LayoutResults& r = layout.results;
    json records = json::array();
    for (const LayoutRecord& record : layout.records)
    {
        records.push_back({{"name", Text(record.name)},
                           {"xOffset", record.xOffset},
                           {"xWidth", record.xWidth},
                           {"x", record.x},
                           {"y", record.y}});
    }
    return {{"symbolGap", r.symbolGap},
            {"leadGap", r.leadGap},
            {"padGap", r.padGap},
            {"bracketWidth", r.bracketWidth},
            {"rowWidth", r.rowWidth},
            {"alignShift", r.alignShift},
            {"basePoint", Pair(r.basePoint)},
            {"lBracketPos", Pair(r.lBracketPos)},
            {"rBracketPos", Pair(r.rBracketPos)},
            {"records", records}};
}

} // namespace

DialogSnapshot SnapshotOf(const MainDialogState& state)
{
    DialogSnapshot snapshot;
    snapshot.caption = state.caption;
    snapshot.kindItems = state.stdSFSSymbol.items;
    snapshot.kindIndex = state.stdSFSSymbol.listIndex;
    snapshot.kindText = state.stdSFSSymbol.text;
    snapshot.picture = state.sfsPicture;
    snapshot.roughItems = state.stdSFSRough.items;
    snapshot.roughText = state.stdSFSRough.text;
    snapshot.roughLabel = state.label3Caption;
    snapshot.methodItems = state.stdSFSMet.items;
    snapshot.methodText = state.stdSFSMet.text;
    snapshot.normFixVisible = state.cbNormFix.visible;
    snapshot.normFixEnabled = state.cbNormFix.enabled;
    snapshot.normFixChecked = state.cbNormFix.value == 1;
    return snapshot;
}

std::optional<TranscriptLayout> CaptureLayout(const symbols::LayoutResults& results, const symbols::SymbolList& list)
{
    if (!results.calculated)
        return std::nullopt;
    TranscriptLayout layout;
    layout.results = results;
    // The count is the list's own; it never leaves the array, whatever went wrong before.
    const std::int32_t last = std::clamp(list.sfsCount, 0, symbols::kMaxDistinct);
    for (std::int32_t i = 0; i <= last; ++i)
    {
        const symbols::sfsObject& record = list.sfsList[static_cast<std::size_t>(i)];
        layout.records.push_back({record.Name, record.xOffset, record.xWidth, record.X, record.y});
    }
    return layout;
}

nlohmann::json TranscriptToJson(const Transcript& transcript)
{
    json messages = json::array();
    for (const TranscriptMessage& message : transcript.messages)
        messages.push_back(
            {{"window", message.window}, {"caption", Text(message.caption)}, {"text", Text(message.text)}});

    json measurements = json::array();
    for (const symbols::Measurement& m : transcript.measurements)
        measurements.push_back({{"text", Text(m.text)}, {"font", Text(m.font)}, {"size", m.size}, {"width", m.width}});

    return {{"dialog", transcript.dialog ? DialogToJson(*transcript.dialog) : json(nullptr)},
            {"messages", messages},
            {"ending", transcript.ending},
            {"layout", transcript.layout ? LayoutToJson(*transcript.layout) : json(nullptr)},
            {"measurements", measurements}};
}

bool WriteTranscript(const std::string& path, const Transcript& transcript, std::wstring& error)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file)
        file << TranscriptToJson(transcript).dump(2) << '\n';
    if (!file)
    {
        error = L"Protokoll konnte nicht geschrieben werden: " + ui::FromUtf8(path);
        return false;
    }
    return true;
}

} // namespace app::sim
