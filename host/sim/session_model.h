// The simulated CAD session in memory: what the session file holds, and what the simulated host
// objects read and change. The host objects work on this model directly, so it is the single source
// of truth for tests and for the session written back.
//
// Lengths and coordinates are metres in sheet coordinates, angles radians, text UTF-16.
#pragma once

#include "host/cad_host.h"

#include <nlohmann/json_fwd.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host::sim
{

inline constexpr std::int16_t kDynamicViewActivationToggle = 24;
inline constexpr double kDefaultCharHeight = 0.0035; // metres (3.5 mm)
inline constexpr wchar_t kDefaultTypeFace[] = L"Arial";

/// The JSON object an entity was read from: members the model does not know, and which members the file
/// spelled out, both kept for writing the session back unchanged. Null for what the session created.
using FileObject = std::shared_ptr<const nlohmann::json>;

/// Identity of a symbol or note within the session, stable while annotations come and go.
using AnnotationId = std::uint64_t;

struct TextFormatModel
{
    std::wstring typeFaceName = kDefaultTypeFace;
    double charHeight = kDefaultCharHeight; ///< metres
    bool bold = false;
    FileObject file = {};

    /// Equal in what the host shows (the file object does not count).
    friend bool operator==(const TextFormatModel& a, const TextFormatModel& b)
    {
        return a.typeFaceName == b.typeFaceName && a.charHeight == b.charHeight && a.bold == b.bold;
    }
};

/// Text slots 0..10 of a symbol, all the empty text (slot 0 is never used).
std::array<host::OptionalText, 11> EmptySymbolTexts();

struct SymbolModel
{
    std::wstring name;
    std::int32_t type = 0; ///< 0 basic, 1 machining required, 2 machining not permitted, 3..9 other kinds
    bool allAround = false;
    std::int32_t direction = 0; ///< direction of lay, 0 none
    /// Slots 1..10; "" the empty text, nullopt no value at all (written as null).
    std::array<host::OptionalText, 11> texts = EmptySymbolTexts();
    double x = 0.0;
    double y = 0.0;
    TextFormatModel textFormat = {};
    AnnotationId id = 0; ///< given by the session; 0 until then
    FileObject file = {};
};

struct BalloonModel
{
    std::int16_t style = 0; ///< 0 none
    std::int16_t size = 0;  ///< 0 tightest fit
};

struct NoteModel
{
    std::wstring name;
    std::wstring text;
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0; ///< radians
    TextFormatModel textFormat = {};
    std::optional<BalloonModel> balloon = {}; ///< set once SetBalloon was called (or the file had one)
    AnnotationId id = 0;
    FileObject file = {};
};

struct ViewModel
{
    std::wstring name;
    std::wstring referencedModel;
    std::vector<SymbolModel> symbols;
    std::vector<NoteModel> notes;
    FileObject file = {};
};

struct SheetModel
{
    std::wstring name;
    /// What GetProperties returns: [0] paper size (12 user-defined), [1] template, [2]/[3] scale,
    /// [4] first angle, [5]/[6] width and height in metres.
    std::vector<double> properties = {8.0, 8.0, 1.0, 1.0, 0.0, 0.42, 0.297};
    std::vector<SymbolModel> symbols;
    std::vector<NoteModel> notes;
    std::vector<ViewModel> views;
    FileObject file = {};
};

enum class SelectedKind
{
    kSheet,
    kView,
    kSymbol,
    kNote,
};

/// One selected object of a document. Sheets and views by index, annotations by identity.
struct SelectionEntry
{
    SelectedKind kind = SelectedKind::kSheet;
    std::size_t sheet = 0;
    std::size_t view = 0;
    AnnotationId annotation = 0;
    std::int32_t mark = 0;
    double x = 0.0; ///< pick point, sheet metres
    double y = 0.0;
    double z = 0.0;
    FileObject file = {};
};

/// Property name to value.
using PropertyMap = std::map<std::wstring, std::wstring>;

struct DocumentModel
{
    std::wstring path;
    std::int32_t type = host::kDrawing; ///< 1 part, 2 assembly, 3 drawing
    std::wstring currentSheet;
    /// The document's text formats by number (0 notes, 5 surface-finish symbols); an absent number
    /// reads as Arial 3.5 mm.
    std::map<std::int32_t, TextFormatModel> textFormats;
    /// Configuration name ("" the document itself) to its custom properties.
    std::map<std::wstring, PropertyMap> customProperties;
    std::vector<SheetModel> sheets;
    std::vector<SelectionEntry> selection;
    bool enableFeatureTree = true;
    bool enableFeatureTreeWindow = true;
    FileObject file = {};
};

struct ApplicationModel
{
    std::wstring executablePath = L"C:\\Program Files\\CAD";
    std::wstring macroPath;
    std::map<std::int32_t, bool> toggles = {{kDynamicViewActivationToggle, true}};
    std::int32_t frameHandle = 0x00010020;
    FileObject file = {};
};

enum class FaultEffect
{
    kError,      ///< the call raises a host failure
    kNothing,    ///< a call that returns an object returns none
    kDisconnect, ///< every call after `afterCalls` fails, as when the host process is gone
    kBusy,       ///< every call after `afterCalls` is refused for `seconds`, as by a host running a command
    kHang,       ///< the call takes `seconds` before it returns
};

struct FaultModel
{
    std::string member;          ///< host member name (kError, kNothing)
    std::int64_t occurrence = 1; ///< counted from 1 (kError, kNothing)
    std::int64_t afterCalls = 0; ///< kDisconnect, kBusy
    double seconds = 0;          ///< kBusy, kHang
    FaultEffect effect = FaultEffect::kError;
    FileObject file = {};
};

struct SessionModel
{
    bool running = true;
    ApplicationModel application;
    std::optional<std::size_t> activeDocument; ///< index into documents; nullopt: no document
    std::vector<DocumentModel> documents;
    std::map<std::wstring, std::int32_t> files; ///< what OpenDoc6 can open: path to document type
    std::vector<FaultModel> faults;
    FileObject file = {};
};

/// The document's text format n, or Arial 3.5 mm when the document has none under n.
TextFormatModel DocumentTextFormat(const DocumentModel& document, std::int32_t n);

/// The sheet of that name (case counts), or nullptr.
const SheetModel* FindSheet(const DocumentModel& document, std::wstring_view name);
SheetModel* FindSheet(DocumentModel& document, std::wstring_view name);

/// The document's current sheet, or nullptr (no sheets, or a part or assembly).
const SheetModel* CurrentSheet(const DocumentModel& document);
SheetModel* CurrentSheet(DocumentModel& document);

/// The first symbol / note of that name on the sheet itself or in one of its views, or nullptr.
const SymbolModel* FindSymbol(const SheetModel& sheet, std::wstring_view name);
const NoteModel* FindNote(const SheetModel& sheet, std::wstring_view name);

/// Every symbol of the sheet: those on the sheet itself first, then those of each view in order.
std::vector<const SymbolModel*> AllSymbols(const SheetModel& sheet);
std::vector<const NoteModel*> AllNotes(const SheetModel& sheet);

/// The object SelectByID would select: type "SHEET" (a sheet by its name), "DRAWINGVIEW" (a view by its
/// name), "SFSYMBOL" or "NOTE" named "annotation@sheet" (on that sheet or in its views) or
/// "annotation@view". Names are compared exactly. nullopt when nothing matches.
std::optional<SelectionEntry> FindSelectable(const DocumentModel& document, std::wstring_view name,
                                             std::wstring_view type);

/// How a selected object is named in the session file: {type, name} as FindSelectable takes them.
/// nullopt for an annotation that no longer exists.
struct SelectionName
{
    std::wstring type;
    std::wstring name;
};
std::optional<SelectionName> NameSelection(const DocumentModel& document, const SelectionEntry& entry);

} // namespace host::sim
