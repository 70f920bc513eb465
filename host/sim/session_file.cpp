#include "host/sim/session_file.h"

#include "ui/conversions.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace host::sim
{

namespace
{

using nlohmann::json;

constexpr char kFormatTag[] = "glattmark-cad-session/1";
constexpr int kMaxNesting = 256; // deeper files are refused before the JSON reader sees them

// ---------------------------------------------------------------------------------------------------------
// Reading

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw SessionFileError(path.empty() ? what : path + ": " + what);
}

std::string Quoted(const std::wstring& text)
{
    // Built piecewise: mingw-w64's GCC 12 flags the operator+ chain as an overlapping copy.
    std::string quoted(1, '"');
    quoted += ui::ToUtf8(text);
    quoted += '"';
    return quoted;
}

/// Refuses files nested deeper than kMaxNesting, so that nothing later recurses without bound.
void CheckNesting(const std::string& text)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (inString)
        {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        }
        else if (c == '"')
            inString = true;
        else if (c == '[' || c == '{')
        {
            if (++depth > kMaxNesting)
                Fail("", "tiefer als " + std::to_string(kMaxNesting) + " Ebenen verschachtelt");
        }
        else if (c == ']' || c == '}')
            --depth;
    }
}

FileObject Keep(const json& object)
{
    return std::make_shared<const json>(object);
}

const json& ObjectAt(const json& value, const std::string& path)
{
    if (!value.is_object())
        Fail(path, "erwartet ein Objekt");
    return value;
}

const json& ArrayAt(const json& value, const std::string& path)
{
    if (!value.is_array())
        Fail(path, "erwartet eine Liste");
    return value;
}

const json* Member(const json& object, const char* key)
{
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string Join(const std::string& path, const std::string& key)
{
    return path.empty() ? key : path + "." + key;
}

std::string Index(const std::string& path, std::size_t i)
{
    return path + "[" + std::to_string(i) + "]";
}

double Number(const json& value, const std::string& path)
{
    if (!value.is_number())
        Fail(path, "erwartet eine Zahl");
    const double number = value.get<double>();
    if (!std::isfinite(number))
        Fail(path, "erwartet eine endliche Zahl");
    return number;
}

std::int64_t WholeNumber(const json& value, const std::string& path, std::int64_t lowest, std::int64_t highest)
{
    if (!value.is_number())
        Fail(path, "erwartet eine ganze Zahl");
    const auto outOfRange = [&] {
        Fail(path, "erwartet eine ganze Zahl von " + std::to_string(lowest) + " bis " + std::to_string(highest));
    };
    std::int64_t number = 0;
    if (value.is_number_unsigned())
    {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(highest))
            outOfRange();
        number = static_cast<std::int64_t>(u);
    }
    else if (value.is_number_integer())
        number = value.get<std::int64_t>();
    else
    {
        // Beyond 2^53 a double no longer holds whole numbers exactly; such values are refused.
        constexpr double kExact = 9007199254740992.0;
        const double d = value.get<double>();
        const double low = std::max(static_cast<double>(lowest), -kExact);
        const double high = std::min(static_cast<double>(highest), kExact);
        if (!(d >= low && d <= high) || std::trunc(d) != d)
            outOfRange();
        number = static_cast<std::int64_t>(d);
    }
    if (number < lowest || number > highest)
        outOfRange();
    return number;
}

std::int32_t Int32(const json& value, const std::string& path)
{
    return static_cast<std::int32_t>(
        WholeNumber(value, path, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool Bool(const json& value, const std::string& path)
{
    if (!value.is_boolean())
        Fail(path, "erwartet true oder false");
    return value.get<bool>();
}

std::wstring Text(const json& value, const std::string& path)
{
    if (!value.is_string())
        Fail(path, "erwartet einen Text");
    return ui::FromUtf8(value.get_ref<const std::string&>());
}

/// A member key that stands for a whole number ("24", "5"): digits only, no sign, no leading zero.
std::int32_t KeyNumber(const std::string& key, const std::string& path, std::int32_t highest)
{
    const bool digits = !key.empty() && key.size() <= 10 && key.find_first_not_of("0123456789") == std::string::npos &&
                        (key.size() == 1 || key[0] != '0');
    if (!digits || std::stoll(key) > highest)
        Fail(path, "erwartet als Schl\u00fcssel eine Zahl von 0 bis " + std::to_string(highest));
    return static_cast<std::int32_t>(std::stoll(key));
}

template <typename F> void ForEachItem(const json& object, const char* key, const std::string& path, F&& read)
{
    if (const auto* items = Member(object, key))
    {
        const auto itemsPath = Join(path, key);
        ArrayAt(*items, itemsPath);
        for (std::size_t i = 0; i < items->size(); ++i)
            read((*items)[i], Index(itemsPath, i));
    }
}

class Reader
{
public:
    SessionModel Read(const json& root)
    {
        ObjectAt(root, "Sitzungsdatei");
        SessionModel model;
        model.file = Keep(root);
        const auto* format = Member(root, "format");
        if (format == nullptr)
            Fail("format", std::string("fehlt (erwartet \"") + kFormatTag + "\")");
        if (!format->is_string() || format->get_ref<const std::string&>() != kFormatTag)
            Fail("format", std::string("erwartet \"") + kFormatTag + "\", gefunden " + format->dump());
        if (const auto* running = Member(root, "running"))
            model.running = Bool(*running, "running");
        model.application = ReadApplication(root);
        ForEachItem(root, "documents", "", [&](const json& item, const std::string& path) {
            model.documents.push_back(ReadDocument(item, path));
        });
        if (!model.documents.empty())
            model.activeDocument = 0;
        if (const auto* active = Member(root, "activeDocument"))
        {
            if (active->is_null())
                model.activeDocument.reset();
            else
            {
                const auto index = WholeNumber(*active, "activeDocument", 0, std::numeric_limits<std::int32_t>::max());
                if (static_cast<std::size_t>(index) >= model.documents.size())
                    Fail("activeDocument", "kein Dokument " + std::to_string(index) + " (die Sitzung hat " +
                                               std::to_string(model.documents.size()) + ")");
                model.activeDocument = static_cast<std::size_t>(index);
            }
        }
        if (const auto* files = Member(root, "files"))
        {
            ObjectAt(*files, "files");
            for (const auto& [path, type] : files->items())
                model.files[ui::FromUtf8(path)] = Int32(type, "files." + path);
        }
        ReadSelection(root, model);
        ForEachItem(root, "faults", "",
                    [&](const json& item, const std::string& path) { model.faults.push_back(ReadFault(item, path)); });
        return model;
    }

private:
    static TextFormatModel ReadTextFormat(const json& value, const std::string& path)
    {
        ObjectAt(value, path);
        TextFormatModel format;
        format.file = Keep(value);
        if (const auto* face = Member(value, "typeFaceName"))
            format.typeFaceName = Text(*face, Join(path, "typeFaceName"));
        if (const auto* height = Member(value, "charHeight"))
        {
            format.charHeight = Number(*height, Join(path, "charHeight"));
            if (format.charHeight < 0.0)
                Fail(Join(path, "charHeight"), "erwartet eine H\u00f6he ab 0 (in Metern)");
        }
        if (const auto* bold = Member(value, "bold"))
            format.bold = Bool(*bold, Join(path, "bold"));
        return format;
    }

    static ApplicationModel ReadApplication(const json& root)
    {
        ApplicationModel application;
        const auto* value = Member(root, "application");
        if (value == nullptr)
        {
            application.file = Keep(json::object());
            return application;
        }
        const std::string path = "application";
        ObjectAt(*value, path);
        application.file = Keep(*value);
        if (const auto* exe = Member(*value, "executablePath"))
            application.executablePath = Text(*exe, Join(path, "executablePath"));
        if (const auto* macro = Member(*value, "macroPath"))
            application.macroPath = Text(*macro, Join(path, "macroPath"));
        if (const auto* frame = Member(*value, "frameHandle"))
            application.frameHandle = Int32(*frame, Join(path, "frameHandle"));
        if (const auto* toggles = Member(*value, "toggles"))
        {
            const auto togglesPath = Join(path, "toggles");
            ObjectAt(*toggles, togglesPath);
            application.toggles.clear();
            application.toggles[kDynamicViewActivationToggle] = true; // the host's setting unless the file says
            for (const auto& [key, on] : toggles->items())
            {
                const auto itemPath = Join(togglesPath, key);
                application.toggles[KeyNumber(key, itemPath, std::numeric_limits<std::int16_t>::max())] =
                    Bool(on, itemPath);
            }
        }
        return application;
    }

    SymbolModel ReadSymbol(const json& value, const std::string& path, const DocumentModel& document)
    {
        ObjectAt(value, path);
        SymbolModel symbol;
        symbol.file = Keep(value);
        symbol.id = ++m_lastId;
        symbol.textFormat = DocumentTextFormat(document, 5);
        if (const auto* name = Member(value, "name"))
            symbol.name = Text(*name, Join(path, "name"));
        if (const auto* type = Member(value, "type"))
            symbol.type = Int32(*type, Join(path, "type"));
        if (const auto* allAround = Member(value, "allAround"))
            symbol.allAround = Bool(*allAround, Join(path, "allAround"));
        if (const auto* direction = Member(value, "direction"))
            symbol.direction = Int32(*direction, Join(path, "direction"));
        if (const auto* texts = Member(value, "texts"))
        {
            const auto textsPath = Join(path, "texts");
            ObjectAt(*texts, textsPath);
            for (const auto& [key, text] : texts->items())
            {
                const auto slotPath = Join(textsPath, key);
                const auto slot = KeyNumber(key, slotPath, 10);
                if (slot < 1)
                    Fail(slotPath, "erwartet als Schl\u00fcssel ein Textfeld von 1 bis 10");
                if (text.is_null())
                    symbol.texts[static_cast<std::size_t>(slot)].reset();
                else if (text.is_string())
                    symbol.texts[static_cast<std::size_t>(slot)] = Text(text, slotPath);
                else
                    Fail(slotPath, "erwartet einen Text oder null");
            }
        }
        if (const auto* x = Member(value, "x"))
            symbol.x = Number(*x, Join(path, "x"));
        if (const auto* y = Member(value, "y"))
            symbol.y = Number(*y, Join(path, "y"));
        if (const auto* format = Member(value, "textFormat"))
            symbol.textFormat = ReadTextFormat(*format, Join(path, "textFormat"));
        return symbol;
    }

    NoteModel ReadNote(const json& value, const std::string& path, const DocumentModel& document)
    {
        ObjectAt(value, path);
        NoteModel note;
        note.file = Keep(value);
        note.id = ++m_lastId;
        note.textFormat = DocumentTextFormat(document, 0);
        if (const auto* name = Member(value, "name"))
            note.name = Text(*name, Join(path, "name"));
        if (const auto* text = Member(value, "text"))
            note.text = Text(*text, Join(path, "text"));
        if (const auto* x = Member(value, "x"))
            note.x = Number(*x, Join(path, "x"));
        if (const auto* y = Member(value, "y"))
            note.y = Number(*y, Join(path, "y"));
        if (const auto* angle = Member(value, "angle"))
            note.angle = Number(*angle, Join(path, "angle"));
        if (const auto* format = Member(value, "textFormat"))
            note.textFormat = ReadTextFormat(*format, Join(path, "textFormat"));
        if (const auto* balloon = Member(value, "balloon"))
        {
            const auto balloonPath = Join(path, "balloon");
            ObjectAt(*balloon, balloonPath);
            BalloonModel model;
            if (const auto* style = Member(*balloon, "style"))
                model.style = static_cast<std::int16_t>(WholeNumber(*style, Join(balloonPath, "style"), 0, 32767));
            if (const auto* size = Member(*balloon, "size"))
                model.size = static_cast<std::int16_t>(WholeNumber(*size, Join(balloonPath, "size"), 0, 32767));
            note.balloon = model;
        }
        return note;
    }

    template <typename Owner>
    void ReadAnnotations(const json& value, const std::string& path, const DocumentModel& document, Owner& owner)
    {
        ForEachItem(value, "symbols", path, [&](const json& item, const std::string& itemPath) {
            owner.symbols.push_back(ReadSymbol(item, itemPath, document));
        });
        ForEachItem(value, "notes", path, [&](const json& item, const std::string& itemPath) {
            owner.notes.push_back(ReadNote(item, itemPath, document));
        });
    }

    SheetModel ReadSheet(const json& value, const std::string& path, const DocumentModel& document)
    {
        ObjectAt(value, path);
        SheetModel sheet;
        sheet.file = Keep(value);
        if (const auto* name = Member(value, "name"))
            sheet.name = Text(*name, Join(path, "name"));
        if (const auto* properties = Member(value, "properties"))
        {
            const auto propertiesPath = Join(path, "properties");
            ArrayAt(*properties, propertiesPath);
            sheet.properties.clear();
            for (std::size_t i = 0; i < properties->size(); ++i)
                sheet.properties.push_back(Number((*properties)[i], Index(propertiesPath, i)));
        }
        ReadAnnotations(value, path, document, sheet);
        ForEachItem(value, "views", path, [&](const json& item, const std::string& viewPath) {
            ObjectAt(item, viewPath);
            ViewModel view;
            view.file = Keep(item);
            if (const auto* name = Member(item, "name"))
                view.name = Text(*name, Join(viewPath, "name"));
            if (const auto* model = Member(item, "referencedModel"))
                view.referencedModel = Text(*model, Join(viewPath, "referencedModel"));
            ReadAnnotations(item, viewPath, document, view);
            sheet.views.push_back(std::move(view));
        });
        return sheet;
    }

    DocumentModel ReadDocument(const json& value, const std::string& path)
    {
        ObjectAt(value, path);
        DocumentModel document;
        document.file = Keep(value);
        if (const auto* file = Member(value, "path"))
            document.path = Text(*file, Join(path, "path"));
        if (const auto* type = Member(value, "type"))
            document.type = Int32(*type, Join(path, "type"));
        if (const auto* formats = Member(value, "textFormats"))
        {
            const auto formatsPath = Join(path, "textFormats");
            ObjectAt(*formats, formatsPath);
            for (const auto& [key, format] : formats->items())
            {
                const auto formatPath = Join(formatsPath, key);
                document.textFormats[KeyNumber(key, formatPath, std::numeric_limits<std::int16_t>::max())] =
                    ReadTextFormat(format, formatPath);
            }
        }
        if (const auto* properties = Member(value, "customProperties"))
        {
            const auto propertiesPath = Join(path, "customProperties");
            ObjectAt(*properties, propertiesPath);
            for (const auto& [configuration, entries] : properties->items())
            {
                const auto configurationPath = Join(propertiesPath, configuration);
                ObjectAt(entries, configurationPath);
                auto& map = document.customProperties[ui::FromUtf8(configuration)];
                for (const auto& [name, text] : entries.items())
                    map[ui::FromUtf8(name)] = Text(text, Join(configurationPath, name));
            }
        }
        if (const auto* tree = Member(value, "enableFeatureTree"))
            document.enableFeatureTree = Bool(*tree, Join(path, "enableFeatureTree"));
        if (const auto* window = Member(value, "enableFeatureTreeWindow"))
            document.enableFeatureTreeWindow = Bool(*window, Join(path, "enableFeatureTreeWindow"));
        ForEachItem(value, "sheets", path, [&](const json& item, const std::string& sheetPath) {
            auto sheet = ReadSheet(item, sheetPath, document);
            if (FindSheet(document, sheet.name) != nullptr)
                Fail(Join(sheetPath, "name"), "ein zweites Blatt namens " + Quoted(sheet.name));
            document.sheets.push_back(std::move(sheet));
        });
        if (!document.sheets.empty())
            document.currentSheet = document.sheets.front().name;
        if (const auto* current = Member(value, "currentSheet"))
        {
            document.currentSheet = Text(*current, Join(path, "currentSheet"));
            // Parts and assemblies have no sheets: a file copied from a drawing keeps its sheet fields there
            // and they go unused.
            if (document.type == host::kDrawing && FindSheet(document, document.currentSheet) == nullptr)
                Fail(Join(path, "currentSheet"), "kein Blatt namens " + Quoted(document.currentSheet));
        }
        return document;
    }

    static void ReadSelection(const json& root, SessionModel& model)
    {
        ForEachItem(root, "selection", "", [&](const json& item, const std::string& path) {
            ObjectAt(item, path);
            const auto* typeValue = Member(item, "type");
            const auto* nameValue = Member(item, "name");
            if (typeValue == nullptr)
                Fail(Join(path, "type"), "fehlt");
            if (nameValue == nullptr)
                Fail(Join(path, "name"), "fehlt");
            const auto type = Text(*typeValue, Join(path, "type"));
            const auto name = Text(*nameValue, Join(path, "name"));
            // With no active document nothing can be selected; the entries are left as the file has them,
            // so that a file made from another one by setting activeDocument to null still runs.
            if (!model.activeDocument)
                return;
            auto& document = model.documents[*model.activeDocument];
            auto entry = FindSelectable(document, name, type);
            if (!entry)
                Fail(path, "kein " + ui::ToUtf8(type) + " namens " + Quoted(name) + " im aktiven Dokument");
            entry->file = Keep(item);
            if (const auto* x = Member(item, "x"))
                entry->x = Number(*x, Join(path, "x"));
            if (const auto* y = Member(item, "y"))
                entry->y = Number(*y, Join(path, "y"));
            if (const auto* z = Member(item, "z"))
                entry->z = Number(*z, Join(path, "z"));
            if (const auto* mark = Member(item, "mark"))
                entry->mark = Int32(*mark, Join(path, "mark"));
            document.selection.push_back(*entry);
        });
    }

    static FaultModel ReadFault(const json& value, const std::string& path)
    {
        ObjectAt(value, path);
        FaultModel fault;
        fault.file = Keep(value);
        const auto* effect = Member(value, "effect");
        if (effect == nullptr)
            Fail(Join(path, "effect"), "fehlt");
        const auto effectText = effect->is_string() ? effect->get<std::string>() : std::string();
        if (effectText == "busy" || effectText == "hang")
        {
            const auto* seconds = Member(value, "seconds");
            if (seconds == nullptr)
                Fail(Join(path, "seconds"), "fehlt");
            if (!seconds->is_number() || seconds->get<double>() < 0 || !std::isfinite(seconds->get<double>()))
                Fail(Join(path, "seconds"), "erwartet eine Zahl ab 0");
            fault.seconds = seconds->get<double>();
        }
        if (effectText == "disconnect" || effectText == "busy")
        {
            fault.effect = effectText == "busy" ? FaultEffect::kBusy : FaultEffect::kDisconnect;
            const auto* after = Member(value, "afterCalls");
            if (after == nullptr)
                Fail(Join(path, "afterCalls"), "fehlt");
            fault.afterCalls =
                WholeNumber(*after, Join(path, "afterCalls"), 0, std::numeric_limits<std::int64_t>::max());
            return fault;
        }
        if (effectText == "error")
            fault.effect = FaultEffect::kError;
        else if (effectText == "nothing")
            fault.effect = FaultEffect::kNothing;
        else if (effectText == "hang")
            fault.effect = FaultEffect::kHang;
        else
            Fail(Join(path, "effect"), "erwartet \"error\", \"nothing\", \"disconnect\", \"busy\" oder \"hang\"");
        const auto* member = Member(value, "member");
        if (member == nullptr)
            Fail(Join(path, "member"), "fehlt");
        if (!member->is_string())
            Fail(Join(path, "member"), "erwartet einen Text");
        fault.member = member->get<std::string>();
        if (const auto* occurrence = Member(value, "occurrence"))
            fault.occurrence =
                WholeNumber(*occurrence, Join(path, "occurrence"), 1, std::numeric_limits<std::int64_t>::max());
        return fault;
    }

    AnnotationId m_lastId = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Writing

json Number(double value)
{
    // Whole values are written as whole numbers; everything else with the digits that read back exactly.
    if (std::trunc(value) == value && std::fabs(value) < 9.0e15)
        return static_cast<std::int64_t>(value);
    return value;
}

json Text(const std::wstring& text)
{
    return ui::ToUtf8(text);
}

/// Starts an entity's object from what the file held (so unknown members survive).
json Start(const FileObject& file)
{
    return file ? *file : json::object();
}

/// Writes a member when the file had it, when the entity is the session's own (full), or when it
/// differs from what an absent member reads as.
void Put(json& out, bool full, const char* key, json value, bool isDefault)
{
    if (full || !isDefault || out.contains(key))
        out[key] = std::move(value);
}

json WriteTextFormat(const TextFormatModel& format)
{
    const bool full = !format.file;
    json out = Start(format.file);
    const TextFormatModel defaults;
    Put(out, full, "typeFaceName", Text(format.typeFaceName), format.typeFaceName == defaults.typeFaceName);
    Put(out, full, "charHeight", Number(format.charHeight), format.charHeight == defaults.charHeight);
    Put(out, full, "bold", format.bold, format.bold == defaults.bold);
    return out;
}

json WriteSymbol(const SymbolModel& symbol, const DocumentModel& document)
{
    const bool full = !symbol.file;
    json out = Start(symbol.file);
    Put(out, full, "name", Text(symbol.name), symbol.name.empty());
    Put(out, full, "type", symbol.type, symbol.type == 0);
    Put(out, full, "allAround", symbol.allAround, !symbol.allAround);
    Put(out, full, "direction", symbol.direction, symbol.direction == 0);
    json texts = out.contains("texts") && out["texts"].is_object() ? out["texts"] : json::object();
    for (std::size_t slot = 1; slot <= 10; ++slot)
    {
        const auto key = std::to_string(slot);
        const auto& text = symbol.texts[slot];
        Put(texts, full, key.c_str(), text ? Text(*text) : json(nullptr), text && text->empty());
    }
    Put(out, full, "texts", texts, texts.empty());
    Put(out, full, "x", Number(symbol.x), symbol.x == 0.0);
    Put(out, full, "y", Number(symbol.y), symbol.y == 0.0);
    Put(out, full, "textFormat", WriteTextFormat(symbol.textFormat),
        symbol.textFormat == DocumentTextFormat(document, 5));
    return out;
}

json WriteNote(const NoteModel& note, const DocumentModel& document)
{
    const bool full = !note.file;
    json out = Start(note.file);
    Put(out, full, "name", Text(note.name), note.name.empty());
    Put(out, full, "text", Text(note.text), note.text.empty());
    Put(out, full, "x", Number(note.x), note.x == 0.0);
    Put(out, full, "y", Number(note.y), note.y == 0.0);
    Put(out, full, "angle", Number(note.angle), note.angle == 0.0);
    Put(out, full, "textFormat", WriteTextFormat(note.textFormat), note.textFormat == DocumentTextFormat(document, 0));
    if (note.balloon)
    {
        json balloon = out.contains("balloon") && out["balloon"].is_object() ? out["balloon"] : json::object();
        balloon["style"] = note.balloon->style;
        balloon["size"] = note.balloon->size;
        out["balloon"] = balloon;
    }
    return out;
}

template <typename Owner> void WriteAnnotations(json& out, bool full, const Owner& owner, const DocumentModel& document)
{
    json symbols = json::array();
    for (const auto& symbol : owner.symbols)
        symbols.push_back(WriteSymbol(symbol, document));
    json notes = json::array();
    for (const auto& note : owner.notes)
        notes.push_back(WriteNote(note, document));
    Put(out, full, "symbols", symbols, symbols.empty());
    Put(out, full, "notes", notes, notes.empty());
}

json WriteSheet(const SheetModel& sheet, const DocumentModel& document)
{
    const bool full = !sheet.file;
    json out = Start(sheet.file);
    Put(out, full, "name", Text(sheet.name), sheet.name.empty());
    json properties = json::array();
    for (const double value : sheet.properties)
        properties.push_back(Number(value));
    Put(out, full, "properties", properties, sheet.properties == SheetModel{}.properties);
    WriteAnnotations(out, full, sheet, document);
    json views = json::array();
    for (const auto& view : sheet.views)
    {
        const bool viewFull = !view.file;
        json viewOut = Start(view.file);
        Put(viewOut, viewFull, "name", Text(view.name), view.name.empty());
        Put(viewOut, viewFull, "referencedModel", Text(view.referencedModel), view.referencedModel.empty());
        WriteAnnotations(viewOut, viewFull, view, document);
        views.push_back(viewOut);
    }
    Put(out, full, "views", views, views.empty());
    return out;
}

json WriteDocument(const DocumentModel& document)
{
    const bool full = !document.file;
    json out = Start(document.file);
    Put(out, full, "path", Text(document.path), document.path.empty());
    Put(out, full, "type", document.type, document.type == host::kDrawing);
    const auto firstSheet = document.sheets.empty() ? std::wstring() : document.sheets.front().name;
    Put(out, full, "currentSheet", Text(document.currentSheet), document.currentSheet == firstSheet);
    json formats = json::object();
    for (const auto& [n, format] : document.textFormats)
        formats[std::to_string(n)] = WriteTextFormat(format);
    Put(out, full, "textFormats", formats, formats.empty());
    json properties = json::object();
    for (const auto& [configuration, entries] : document.customProperties)
    {
        json map = json::object();
        for (const auto& [name, value] : entries)
            map[ui::ToUtf8(name)] = Text(value);
        properties[ui::ToUtf8(configuration)] = map;
    }
    Put(out, full, "customProperties", properties, properties.empty());
    Put(out, full, "enableFeatureTree", document.enableFeatureTree, document.enableFeatureTree);
    Put(out, full, "enableFeatureTreeWindow", document.enableFeatureTreeWindow, document.enableFeatureTreeWindow);
    json sheets = json::array();
    for (const auto& sheet : document.sheets)
        sheets.push_back(WriteSheet(sheet, document));
    Put(out, full, "sheets", sheets, sheets.empty());
    return out;
}

json WriteApplication(const ApplicationModel& application)
{
    const bool full = !application.file;
    json out = Start(application.file);
    const ApplicationModel defaults;
    Put(out, full, "executablePath", Text(application.executablePath),
        application.executablePath == defaults.executablePath);
    Put(out, full, "macroPath", Text(application.macroPath), application.macroPath.empty());
    Put(out, full, "frameHandle", application.frameHandle, application.frameHandle == defaults.frameHandle);
    // Toggle 24 reads as on when the file leaves it out; it is written only when the file had it or it is off.
    const json* fileToggles = application.file ? Member(*application.file, "toggles") : nullptr;
    const bool fileNamesDefault = fileToggles == nullptr || !fileToggles->is_object() ||
                                  fileToggles->contains(std::to_string(kDynamicViewActivationToggle));
    json toggles = json::object();
    for (const auto& [id, on] : application.toggles)
        if (fileNamesDefault || id != kDynamicViewActivationToggle || !on)
            toggles[std::to_string(id)] = on;
    Put(out, full, "toggles", toggles, application.toggles == defaults.toggles);
    return out;
}

json WriteFault(const FaultModel& fault)
{
    if (fault.file)
        return *fault.file; // faults are read, never changed
    json out = json::object();
    if (fault.effect == FaultEffect::kDisconnect || fault.effect == FaultEffect::kBusy)
    {
        out["afterCalls"] = fault.afterCalls;
        out["effect"] = fault.effect == FaultEffect::kBusy ? "busy" : "disconnect";
        if (fault.effect == FaultEffect::kBusy)
            out["seconds"] = fault.seconds;
        return out;
    }
    out["member"] = fault.member;
    out["occurrence"] = fault.occurrence;
    out["effect"] = fault.effect == FaultEffect::kError  ? "error"
                    : fault.effect == FaultEffect::kHang ? "hang"
                                                         : "nothing";
    if (fault.effect == FaultEffect::kHang)
        out["seconds"] = fault.seconds;
    return out;
}

/// True when the file's own spelling of a selected object ("S1@Ansicht1" rather than "S1@Blatt1") still
/// names that object, so that it is written back as the file wrote it.
bool SpelledAsInFile(const DocumentModel& document, const SelectionEntry& entry)
{
    if (!entry.file)
        return false;
    const json* type = Member(*entry.file, "type");
    const json* name = Member(*entry.file, "name");
    if (type == nullptr || name == nullptr || !type->is_string() || !name->is_string())
        return false;
    const auto found = FindSelectable(document, ui::FromUtf8(name->get_ref<const std::string&>()),
                                      ui::FromUtf8(type->get_ref<const std::string&>()));
    return found && found->kind == entry.kind && found->sheet == entry.sheet &&
           (entry.kind != SelectedKind::kView || found->view == entry.view) && found->annotation == entry.annotation;
}

} // namespace

SessionModel ReadSessionFile(const std::string& utf8Json)
{
    CheckNesting(utf8Json);
    json root;
    try
    {
        root = json::parse(utf8Json);
    }
    catch (const json::exception& e) // parse_error, and out_of_range for numbers such as 1e999
    {
        std::string what = e.what();
        const auto end = what.find("] ");
        if (end != std::string::npos)
            what.erase(0, end + 2);
        Fail("", "kein JSON: " + what);
    }
    return Reader().Read(root);
}

std::string WriteSessionFile(const SessionModel& model, const CallStats& stats)
{
    const bool full = !model.file;
    json out = Start(model.file);
    out["format"] = kFormatTag;
    Put(out, full, "running", model.running, model.running);
    json application = WriteApplication(model.application);
    Put(out, full, "application", application, application.empty());
    const std::optional<std::size_t> defaultActive =
        model.documents.empty() ? std::nullopt : std::optional<std::size_t>(0);
    Put(out, full, "activeDocument", model.activeDocument ? json(*model.activeDocument) : json(nullptr),
        model.activeDocument == defaultActive);
    json documents = json::array();
    for (const auto& document : model.documents)
        documents.push_back(WriteDocument(document));
    Put(out, full, "documents", documents, documents.empty());
    json files = json::object();
    for (const auto& [path, type] : model.files)
        files[ui::ToUtf8(path)] = type;
    Put(out, full, "files", files, files.empty());
    json selection = json::array();
    if (model.activeDocument && *model.activeDocument < model.documents.size())
    {
        const auto& document = model.documents[*model.activeDocument];
        for (const auto& entry : document.selection)
        {
            const auto name = NameSelection(document, entry);
            if (!name)
                continue;
            json item = Start(entry.file);
            const bool itemFull = !entry.file;
            if (!SpelledAsInFile(document, entry))
            {
                item["type"] = Text(name->type);
                item["name"] = Text(name->name);
            }
            Put(item, itemFull && entry.kind == SelectedKind::kSheet, "x", Number(entry.x), entry.x == 0.0);
            Put(item, itemFull && entry.kind == SelectedKind::kSheet, "y", Number(entry.y), entry.y == 0.0);
            Put(item, false, "z", Number(entry.z), entry.z == 0.0);
            Put(item, false, "mark", entry.mark, entry.mark == 0);
            selection.push_back(item);
        }
    }
    if (model.activeDocument)
        Put(out, full, "selection", selection, selection.empty());
    json faults = json::array();
    for (const auto& fault : model.faults)
        faults.push_back(WriteFault(fault));
    Put(out, full, "faults", faults, faults.empty());
    json byMember = json::object();
    for (const auto& [member, count] : stats.byMember)
        byMember[member] = count;
    out["stats"] = {{"calls", {{"total", stats.total}, {"byMember", byMember}}}, {"rebuilds", stats.rebuilds}};
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace host::sim
