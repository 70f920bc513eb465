#include "host/sim/sim_document.h"

#include "host/call_log.h"
#include "host/host_error.h"
#include "host/object_kinds.h"
#include "ui/conversions.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace host::sim
{

namespace
{

constexpr std::int32_t kMemberNotFound = static_cast<std::int32_t>(0x80020003u); // DISP_E_MEMBERNOTFOUND

// OpenDoc6's error and warning codes (swFileLoadError_e, swFileLoadWarning_e).
constexpr std::int32_t kGenericError = 1;
constexpr std::int32_t kFileNotFoundError = 2;
constexpr std::int32_t kInvalidFileTypeError = 1024;
constexpr std::int32_t kAlreadyOpenWarning = 128;

constexpr std::int16_t kNoteTextFormat = 0;
constexpr std::int16_t kSurfaceFinishTextFormat = 5;

bool SamePath(std::wstring_view a, std::wstring_view b)
{
    return ui::UCase(a) == ui::UCase(b); // file names on the host's platform ignore case
}

/// The sheet selected last in the document, with its pick point; nullptr when no sheet is selected.
const SelectionEntry* SelectedSheet(const DocumentModel& document)
{
    for (auto it = document.selection.rbegin(); it != document.selection.rend(); ++it)
        if (it->kind == SelectedKind::kSheet && it->sheet < document.sheets.size())
            return &*it;
    return nullptr;
}

/// Selection by name, shared by the document's and the extension's SelectByID.
bool SelectByName(DocumentModel& document, const std::wstring& name, const std::wstring& type, double x, double y,
                  double z, bool append, std::int16_t mark)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return false;
    auto entry = FindSelectable(document, name, type);
    if (!entry)
        return false;
    entry->x = x;
    entry->y = y;
    entry->z = z;
    entry->mark = mark;
    SelectObject(document, *entry, append, true);
    return true;
}

class SimFrame final : public host::Frame
{
public:
    explicit SimFrame(StatePtr state) : m_state(std::move(state)) {}

    std::int32_t GetHWnd() override
    {
        const auto call = m_state->Enter(kind::kFrame, "GetHWnd");
        return m_state->Model().application.frameHandle;
    }

private:
    StatePtr m_state;
};

/// Base of the objects that belong to one document.
class DocumentPart
{
public:
    DocumentPart(StatePtr state, std::size_t document) : m_state(std::move(state)), m_document(document) {}

protected:
    DocumentModel& Doc() { return m_state->Document(m_document); }

    StatePtr m_state;
    std::size_t m_document;
};

class SimFeatureManager final : public host::FeatureManager, private DocumentPart
{
public:
    using DocumentPart::DocumentPart;

    void put_EnableFeatureTree(bool enable) override
    {
        const auto call = m_state->Enter(kind::kFeatureManager, "EnableFeatureTree", {vt::kBool});
        Doc().enableFeatureTree = enable;
    }
    void put_EnableFeatureTreeWindow(bool enable) override
    {
        const auto call = m_state->Enter(kind::kFeatureManager, "EnableFeatureTreeWindow", {vt::kBool});
        Doc().enableFeatureTreeWindow = enable;
    }
};

class SimSelectionManager final : public host::SelectionManager, private DocumentPart
{
public:
    using DocumentPart::DocumentPart;

    // The program selects with mark 0 and a session file's selection carries no mark, so every
    // selection here bears mark 0: -1 (any mark) and 0 take in all of them, any other mark none.
    std::int32_t GetSelectedObjectCount2(std::int32_t mark) override
    {
        const auto call = m_state->Enter(kind::kSelectionManager, "GetSelectedObjectCount2", {vt::kI4});
        return TakesInMarkZero(mark) ? static_cast<std::int32_t>(Doc().selection.size()) : 0;
    }

    /// Returns how many objects it deselected (1 or 0 for a single index). Indices that do not name a
    /// selected object (0, negative, past the count) are passed over.
    std::int32_t DeSelect2(const std::vector<std::int32_t>& atIndex, std::int32_t mark) override
    {
        const auto call = m_state->Enter(kind::kSelectionManager, "DeSelect2", {vt::kArrayI4, vt::kI4});
        if (!TakesInMarkZero(mark))
            return 0;
        auto& selection = Doc().selection;
        std::set<std::size_t> positions;
        for (const auto index : atIndex)
            if (index >= 1 && static_cast<std::size_t>(index) <= selection.size())
                positions.insert(static_cast<std::size_t>(index) - 1);
        for (auto it = positions.rbegin(); it != positions.rend(); ++it)
            selection.erase(selection.begin() + static_cast<std::ptrdiff_t>(*it));
        return static_cast<std::int32_t>(positions.size());
    }

private:
    static bool TakesInMarkZero(std::int32_t mark) { return mark == kAnyMark || mark == 0; }
};

class SimCustomPropertyManager final : public host::CustomPropertyManager, private DocumentPart
{
public:
    SimCustomPropertyManager(StatePtr state, std::size_t document, std::wstring configuration)
        : DocumentPart(std::move(state), document), m_configuration(std::move(configuration))
    {
    }

    std::int32_t Add2(const std::wstring& fieldName, std::int32_t /*fieldType*/,
                      const std::wstring& fieldValue) override
    {
        const auto call = m_state->Enter(kind::kPropertyManager, "Add2", {vt::kBstr, vt::kI4, vt::kBstr});
        auto& properties = Doc().customProperties;
        if (fieldName.empty())
            return 0;
        auto& configuration = properties[m_configuration];
        if (configuration.count(fieldName) != 0)
            return -1;
        configuration.emplace(fieldName, fieldValue);
        return 1;
    }

    std::int32_t Set(const std::wstring& fieldName, const std::wstring& fieldValue) override
    {
        const auto call = m_state->Enter(kind::kPropertyManager, "Set", {vt::kBstr, vt::kBstr});
        auto* value = Find(fieldName);
        if (value == nullptr)
            return -1;
        *value = fieldValue;
        return 0;
    }

    void Get2(const std::wstring& fieldName, std::wstring& valOut, std::wstring& resolvedValOut) override
    {
        const auto call = m_state->Enter(kind::kPropertyManager, "Get2", {vt::kBstr, vt::kRefBstr, vt::kRefBstr});
        const auto* value = Find(fieldName);
        valOut = value ? *value : std::wstring();
        resolvedValOut = valOut; // no links to resolve in the simulation
    }

private:
    std::wstring* Find(const std::wstring& fieldName)
    {
        auto& properties = Doc().customProperties;
        const auto configuration = properties.find(m_configuration);
        if (configuration == properties.end())
            return nullptr;
        const auto it = configuration->second.find(fieldName);
        return it == configuration->second.end() ? nullptr : &it->second;
    }

    std::wstring m_configuration;
};

class SimExtension final : public host::Extension, private DocumentPart
{
public:
    using DocumentPart::DocumentPart;

    bool SelectByID(const std::wstring& name, const std::wstring& type, double x, double y, double z, bool append,
                    std::int16_t mark, const host::CalloutPtr& /*callout*/) override
    {
        const auto call =
            m_state->Enter(kind::kExtension, "SelectByID",
                           {vt::kBstr, vt::kBstr, vt::kR8, vt::kR8, vt::kR8, vt::kBool, vt::kI2, vt::kNullDispatch});
        return SelectByName(Doc(), name, type, x, y, z, append, mark);
    }

    host::SFSymbolPtr InsertSurfaceFinishSymbol3(std::int32_t symType, std::int16_t leaderType, double locX,
                                                 double locY, double /*locZ*/, std::int32_t laySymbol,
                                                 std::int16_t /*arrowType*/, const std::wstring& machAllowance,
                                                 const std::wstring& otherVals, const std::wstring& prodMethod,
                                                 const std::wstring& sampleLen, const std::wstring& maxRoughness,
                                                 const std::wstring& minRoughness,
                                                 const std::wstring& roughnessSpacing) override
    {
        const auto call = m_state->Enter(kind::kExtension, "InsertSurfaceFinishSymbol3",
                                         {vt::kI4, vt::kI2, vt::kR8, vt::kR8, vt::kR8, vt::kI4, vt::kI2, vt::kBstr,
                                          vt::kBstr, vt::kBstr, vt::kBstr, vt::kBstr, vt::kBstr, vt::kBstr});
        if (call.Nothing())
            return nullptr;
        auto& document = Doc();
        const auto* pick = SelectedSheet(document);
        if (pick == nullptr || symType < 0 || symType > 9)
            return nullptr;
        // Without a leader the host places the symbol at the selection's pick point.
        const bool leader = leaderType != 0;
        if (leader && (!std::isfinite(locX) || !std::isfinite(locY)))
            return nullptr;
        SymbolModel symbol;
        symbol.name = m_state->DefaultName(document, L"Oberflächensymbol");
        symbol.type = symType;
        symbol.direction = laySymbol;
        symbol.texts[1] = machAllowance;
        symbol.texts[2] = prodMethod;
        symbol.texts[3] = sampleLen;
        symbol.texts[4] = otherVals;
        symbol.texts[5] = maxRoughness;
        symbol.texts[6] = minRoughness;
        symbol.texts[7] = roughnessSpacing;
        symbol.x = leader ? locX : pick->x;
        symbol.y = leader ? locY : pick->y;
        symbol.textFormat = DocumentTextFormat(document, kSurfaceFinishTextFormat);
        symbol.textFormat.file = nullptr;
        symbol.id = m_state->NewId();
        const auto id = symbol.id;
        document.sheets[pick->sheet].symbols.push_back(std::move(symbol));
        return MakeSymbol(m_state, id);
    }

    host::CustomPropertyManagerPtr CustomPropertyManager(const std::wstring& configName) override
    {
        const auto call = m_state->Enter(kind::kExtension, "CustomPropertyManager", {vt::kBstr});
        if (call.Nothing())
            return nullptr;
        (void)Doc();
        return MakeCounted<SimCustomPropertyManager>(m_state, m_state, m_document, configName);
    }
};

class SimDocument final : public host::Drawing, public std::enable_shared_from_this<SimDocument>, private DocumentPart
{
public:
    using DocumentPart::DocumentPart;

    std::int32_t GetType() override
    {
        const auto call = m_state->Enter(kind::kDocument, "GetType");
        return Doc().type;
    }
    /// The type without a call: what a server needs to know of the object it serves.
    std::int32_t TypeUncounted() { return Doc().type; }
    /// The kind the document's members are called under, as a client that asked GetType first names them.
    const char* Kind() const
    {
        const auto& documents = m_state->Model().documents;
        return m_document < documents.size() ? kind::OfDocument(documents[m_document].type) : kind::kDocument;
    }

    std::wstring GetPathName() override
    {
        const auto call = m_state->Enter(Kind(), "GetPathName");
        return Doc().path;
    }

    host::FeatureManagerPtr FeatureManager() override
    {
        const auto call = m_state->Enter(Kind(), "FeatureManager");
        if (call.Nothing())
            return nullptr;
        (void)Doc();
        return MakeCounted<SimFeatureManager>(m_state, m_state, m_document);
    }

    host::ExtensionPtr Extension() override
    {
        const auto call = m_state->Enter(Kind(), "Extension");
        if (call.Nothing())
            return nullptr;
        (void)Doc();
        return MakeCounted<SimExtension>(m_state, m_state, m_document);
    }

    host::SelectionManagerPtr SelectionManager() override
    {
        const auto call = m_state->Enter(Kind(), "SelectionManager");
        if (call.Nothing())
            return nullptr;
        (void)Doc();
        return MakeCounted<SimSelectionManager>(m_state, m_state, m_document);
    }

    bool DeleteSelection(bool /*confirmFlag*/) override
    {
        const auto call = m_state->Enter(Kind(), "DeleteSelection", {vt::kBool});
        auto& document = Doc();
        std::set<AnnotationId> doomed;
        for (const auto& entry : document.selection)
            if (entry.kind == SelectedKind::kSymbol || entry.kind == SelectedKind::kNote)
                doomed.insert(entry.annotation);
        bool deleted = false;
        auto erase = [&](auto& items) {
            const auto before = items.size();
            std::erase_if(items, [&](const auto& item) { return doomed.count(item.id) != 0; });
            deleted = deleted || items.size() != before;
        };
        for (auto& sheet : document.sheets)
        {
            erase(sheet.symbols);
            erase(sheet.notes);
            for (auto& view : sheet.views)
            {
                erase(view.symbols);
                erase(view.notes);
            }
        }
        document.selection.clear();
        return deleted;
    }

    bool SelectByID(const std::wstring& selId, const std::wstring& selParams, double x, double y, double z) override
    {
        const auto call = m_state->Enter(Kind(), "SelectByID", {vt::kBstr, vt::kBstr, vt::kR8, vt::kR8, vt::kR8});
        return SelectByName(Doc(), selId, selParams, x, y, z, false, 0);
    }

    bool SelectByIDRef(const std::wstring& selId, const std::wstring& selParams, double& x, double& y,
                       double z) override
    {
        // The session takes the point as SelectByID does and writes nothing back.
        const auto call = m_state->Enter(Kind(), "SelectByID", {vt::kBstr, vt::kBstr, vt::kRefR8, vt::kRefR8, vt::kR8});
        return SelectByName(Doc(), selId, selParams, x, y, z, false, 0);
    }

    host::NotePtr InsertNote(const std::wstring& text) override
    {
        const auto call = m_state->Enter(Kind(), "InsertNote", {vt::kBstr});
        if (call.Nothing())
            return nullptr;
        auto& document = Doc();
        const auto* pick = SelectedSheet(document);
        if (pick == nullptr)
            return nullptr;
        NoteModel note;
        note.name = m_state->DefaultName(document, L"DetailItem");
        note.text = text;
        note.x = pick->x;
        note.y = pick->y;
        note.textFormat = DocumentTextFormat(document, kNoteTextFormat);
        note.textFormat.file = nullptr;
        note.id = m_state->NewId();
        const auto id = note.id;
        document.sheets[pick->sheet].notes.push_back(std::move(note));
        return MakeNote(m_state, id);
    }

    bool GetUserPreferenceToggle(std::int16_t userPreferenceToggle) override
    {
        const auto call = m_state->Enter(Kind(), "GetUserPreferenceToggle", {vt::kI2});
        (void)Doc();
        return m_state->Toggle(userPreferenceToggle);
    }

    bool SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) override
    {
        const auto call = m_state->Enter(Kind(), "SetUserPreferenceToggle", {vt::kI2, vt::kBool});
        (void)Doc();
        m_state->SetToggle(userPreferenceValue, onFlag);
        return true;
    }

    host::TextFormatPtr GetUserPreferenceTextFormat(std::int16_t userPreferenceValue) override
    {
        const auto call = m_state->Enter(Kind(), "GetUserPreferenceTextFormat", {vt::kI2});
        if (call.Nothing())
            return nullptr;
        return MakeTextFormat(m_state, DocumentTextFormat(Doc(), userPreferenceValue));
    }

    void EditRebuild() override
    {
        const auto call = m_state->Enter(Kind(), "EditRebuild");
        (void)Doc();
        m_state->CountRebuild();
    }

    host::DrawingPtr AsDrawing() override { return shared_from_this(); }

    host::SheetPtr GetCurrentSheet() override
    {
        const auto call = m_state->Enter(Kind(), "GetCurrentSheet");
        if (call.Nothing())
            return nullptr;
        const auto sheet = CurrentSheetIndex();
        return sheet ? MakeSheet(m_state, m_document, *sheet) : nullptr;
    }

    host::ViewPtr GetFirstView() override
    {
        const auto call = m_state->Enter(Kind(), "GetFirstView");
        if (call.Nothing())
            return nullptr;
        const auto sheet = CurrentSheetIndex();
        return sheet ? MakeView(m_state, m_document, *sheet, std::nullopt) : nullptr;
    }

    bool ActivateSheet(const std::wstring& name) override
    {
        const auto call = m_state->Enter(Kind(), "ActivateSheet", {vt::kBstr});
        auto& document = RequireDrawing();
        if (FindSheet(document, name) == nullptr)
            return false;
        document.currentSheet = name;
        return true;
    }

    std::vector<std::vector<host::ViewPtr>> GetViews() override
    {
        const auto call = m_state->Enter(Kind(), "GetViews");
        if (call.Nothing())
            return {};
        const auto& document = RequireDrawing();
        // The real host leaves the order of the sheets open; the last sheet of the file comes first here, so
        // that a program taking the first list for the current sheet is caught.
        std::vector<std::vector<host::ViewPtr>> sheets;
        for (std::size_t s = document.sheets.size(); s-- > 0;)
        {
            std::vector<host::ViewPtr> views{MakeView(m_state, m_document, s, std::nullopt)};
            for (std::size_t v = 0; v < document.sheets[s].views.size(); ++v)
                views.push_back(MakeView(m_state, m_document, s, v));
            sheets.push_back(std::move(views));
        }
        return sheets;
    }

private:
    DocumentModel& RequireDrawing()
    {
        auto& document = Doc();
        if (document.type != host::kDrawing)
            m_state->Fail(kMemberNotFound, "a document that is no drawing has no such member");
        return document;
    }

    std::optional<std::size_t> CurrentSheetIndex()
    {
        const auto& document = RequireDrawing();
        for (std::size_t s = 0; s < document.sheets.size(); ++s)
            if (document.sheets[s].name == document.currentSheet)
                return s;
        return std::nullopt;
    }
};

class SimApplication final : public host::Application
{
public:
    explicit SimApplication(StatePtr state) : m_state(std::move(state)) {}

    host::DocumentPtr ActiveDoc() override
    {
        const auto call = m_state->Enter(kind::kApplication, "ActiveDoc");
        if (call.Nothing())
            return nullptr;
        const auto active = m_state->Model().activeDocument;
        return active ? DocumentObject(*active) : nullptr;
    }

    host::DocumentPtr OpenDoc6(const std::wstring& fileName, std::int32_t type, std::int32_t /*options*/,
                               const std::wstring& /*configuration*/, std::int32_t& errors,
                               std::int32_t& warnings) override
    {
        const auto call = m_state->Enter(kind::kApplication, "OpenDoc6",
                                         {vt::kBstr, vt::kI4, vt::kI4, vt::kBstr, vt::kRefI4, vt::kRefI4});
        const bool nothing = call.Nothing();
        errors = 0;
        warnings = 0;
        if (nothing)
        {
            errors = kGenericError;
            return nullptr;
        }
        auto& model = m_state->Model();
        for (std::size_t d = 0; d < model.documents.size(); ++d)
            if (SamePath(model.documents[d].path, fileName))
            {
                warnings = kAlreadyOpenWarning; // returned, not activated
                return DocumentObject(d);
            }
        const auto file = std::find_if(model.files.begin(), model.files.end(),
                                       [&](const auto& entry) { return SamePath(entry.first, fileName); });
        if (file == model.files.end())
        {
            errors = kFileNotFoundError;
            return nullptr;
        }
        if (file->second != type)
        {
            errors = kInvalidFileTypeError;
            return nullptr;
        }
        DocumentModel document;
        document.path = file->first;
        document.type = file->second;
        model.documents.push_back(std::move(document));
        model.activeDocument = model.documents.size() - 1;
        return DocumentObject(model.documents.size() - 1);
    }

    std::wstring GetCurrentMacroPathName() override
    {
        const auto call = m_state->Enter(kind::kApplication, "GetCurrentMacroPathName");
        return m_state->Model().application.macroPath;
    }

    std::wstring GetExecutablePath() override
    {
        const auto call = m_state->Enter(kind::kApplication, "GetExecutablePath");
        return m_state->Model().application.executablePath;
    }

    host::FramePtr Frame() override
    {
        const auto call = m_state->Enter(kind::kApplication, "Frame");
        if (call.Nothing())
            return nullptr;
        return MakeCounted<SimFrame>(m_state, m_state);
    }

    void SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) override
    {
        const auto call = m_state->Enter(kind::kApplication, "SetUserPreferenceToggle", {vt::kI2, vt::kBool});
        m_state->SetToggle(userPreferenceValue, onFlag);
    }

private:
    /// One object per document while anybody holds it, so that the program sees the same document object
    /// every time; the application itself keeps none alive.
    host::DocumentPtr DocumentObject(std::size_t index)
    {
        auto& cached = m_documents[index];
        std::shared_ptr<SimDocument> object = cached.lock();
        if (!object)
        {
            object = MakeCounted<SimDocument>(m_state, m_state, index);
            cached = object;
        }
        return object;
    }

    StatePtr m_state;
    std::map<std::size_t, std::weak_ptr<SimDocument>> m_documents;
};

} // namespace

std::optional<std::int32_t> DocumentTypeOf(host::HostObject& object)
{
    if (auto* document = dynamic_cast<SimDocument*>(&object))
        return document->TypeUncounted();
    return std::nullopt;
}

host::ApplicationPtr MakeApplication(StatePtr state)
{
    return MakeCounted<SimApplication>(state, state);
}

} // namespace host::sim
