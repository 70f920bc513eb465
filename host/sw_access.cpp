#include "host/sw_access.h"

#include "ui/conversions.h"
#include "ui/error_object.h"

namespace host
{
namespace
{

/// The host's code for a text custom property.
constexpr std::int32_t kTextPropertyType = 30;
/// OpenDoc6 option: open silently, without dialogs in the host.
constexpr std::int32_t kOpenSilent = 1;
/// OpenDoc6 type when the file ending names neither a part nor an assembly.
constexpr std::int32_t kNoDocumentType = 0;

/// The prefix of a property value that is inherited from a parent and has no value of its own here.
constexpr std::wstring_view kFromParentPrefix = L"FROMPARENT+";
constexpr const wchar_t* kEmptyInheritedValue = L"### Leer";

std::wstring AsciiLower(std::wstring text)
{
    for (wchar_t& c : text)
    {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
    }
    return text;
}

} // namespace

void swAccess::LockUI(bool lockEnabled)
{
    if (lockEnabled && m_cc.IsErr())
        return;
    if (!Model)
        return;
    const FeatureManagerPtr featureManager = Require(Model->FeatureManager(), "FeatureManager");
    featureManager->put_EnableFeatureTree(!lockEnabled);
    featureManager->put_EnableFeatureTreeWindow(!lockEnabled);
}

void swAccess::GetDocsQ()
{
    if (m_cc.IsErr())
        return;
    ActiveDoc = Require(swApp, "swApp")->ActiveDoc();
    if (!ActiveDoc)
    {
        m_cc.eNoDoc();
        return;
    }
    if (ActiveDoc->GetType() == kDrawing)
    {
        Drawing = ActiveDoc->AsDrawing();
        Model = Drawing ? OpenRefModel(Drawing) : nullptr;
    }
    else
    {
        Drawing = nullptr;
        Model = ActiveDoc;
    }
}

bool swAccess::TakeActiveDoc()
{
    if (m_cc.IsErr())
        return false;
    ActiveDoc = Require(swApp, "swApp")->ActiveDoc();
    if (!ActiveDoc)
    {
        m_cc.eNoDoc();
        return false;
    }
    Model = nullptr;
    Drawing = nullptr;
    PropDoc = ActiveDoc;
    return true;
}

void swAccess::GetDrawing(bool getModel)
{
    if (!TakeActiveDoc())
        return;
    if (ActiveDoc->GetType() == kDrawing)
        Drawing = ActiveDoc->AsDrawing();
    // Every later drawing operation relies on Drawing being set once this succeeded, so a document
    // that calls itself a drawing but offers no drawing members counts as no drawing.
    if (!Drawing)
    {
        m_cc.eNoDRW();
        return;
    }
    if (getModel)
        Model = OpenRefModel(Drawing);
}

void swAccess::GetModel(std::int32_t mustBe)
{
    if (!TakeActiveDoc())
        return;
    const std::int32_t type = ActiveDoc->GetType();
    if (type != kPart && type != kAssembly)
    {
        m_cc.eNoModel();
        return;
    }
    if (mustBe == kPart && type != kPart)
    {
        m_cc.eNoPRT();
        return;
    }
    if (mustBe == kAssembly && type != kAssembly)
    {
        m_cc.eNoASM();
        return;
    }
    Model = ActiveDoc;
    PropDoc = ActiveDoc;
}

void swAccess::Link(const ApplicationPtr& swAppIn)
{
    if (m_cc.IsErr())
        return;
    if (swAppIn)
    {
        swApp = swAppIn;
        return;
    }
    try
    {
        ApplicationPtr running = m_connector.GetActiveObject(kProgId);
        if (running)
            swApp = std::move(running);
    }
    catch (const Error&)
    {
        // No session registered, or it refused: reported below as "no session" unless one was linked before.
    }
    if (!swApp)
        m_cc.eNoSWX();
}

void swAccess::UnLink()
{
    Model = nullptr;
    Drawing = nullptr;
    ActiveDoc = nullptr;
    swApp = nullptr;
    // PropDoc is released too: it belongs to the session just left, and keeping it would keep a
    // document of that session alive and readable through GetPropStr after the unlink.
    PropDoc = nullptr;
}

void swAccess::SetPropStr(const std::wstring& property, const std::wstring& value, const std::wstring& config,
                          DocumentPtr& modelDoc)
{
    if (!modelDoc)
        modelDoc = ActiveDoc;
    const ExtensionPtr extension = Require(Require(modelDoc, "document")->Extension(), "Extension");
    const CustomPropertyManagerPtr manager = Require(extension->CustomPropertyManager(config), "CustomPropertyManager");
    // Add2 creates a missing property and leaves an existing one alone; Set then gives it the value.
    manager->Add2(property, kTextPropertyType, value);
    manager->Set(property, value);
}

std::wstring swAccess::GetPropStr(const std::wstring& property, const std::wstring& config, const DocumentPtr& modelDoc)
{
    const DocumentPtr& document = Require(modelDoc ? modelDoc : PropDoc, "document");
    const ExtensionPtr extension = Require(document->Extension(), "Extension");

    const auto resolvedValue = [&](const std::wstring& configName) {
        const CustomPropertyManagerPtr manager =
            Require(extension->CustomPropertyManager(configName), "CustomPropertyManager");
        std::wstring value;
        std::wstring resolved;
        manager->Get2(property, value, resolved);
        return resolved;
    };

    std::wstring result = resolvedValue(config);
    if (result.empty())
        result = resolvedValue(L"");
    if (result.size() > kFromParentPrefix.size() &&
        ui::UCase(std::wstring_view(result).substr(0, kFromParentPrefix.size())) == kFromParentPrefix)
        result = kEmptyInheritedValue;
    return result;
}

double swAccess::GetPropVal(const std::wstring& property, const std::wstring& config, double defaultVal,
                            DocumentPtr& modelDoc)
{
    if (!modelDoc)
        modelDoc = PropDoc;
    const std::wstring text = GetPropStr(property, config, modelDoc);
    if (text.empty())
        return defaultVal;
    return ui::LeadingNumber(ui::ReplaceAll(text, L",", L"."));
}

DocumentPtr swAccess::OpenRefModel(const DrawingPtr& drawingDoc)
{
    ViewPtr view = Require(drawingDoc, "drawing")->GetFirstView();
    std::wstring name = view ? view->GetReferencedModelName() : std::wstring();
    while (name.empty() && view)
    {
        view = view->GetNextView();
        if (view)
            name = view->GetReferencedModelName();
    }
    if (name.empty())
        return nullptr;

    const std::wstring ending = AsciiLower(name.size() > 6 ? name.substr(name.size() - 6) : name);
    std::int32_t type = kNoDocumentType;
    if (ending == L"sldprt")
        type = kPart;
    else if (ending == L"sldasm")
        type = kAssembly;

    std::int32_t errors = 0;
    std::int32_t warnings = 0;
    return Require(swApp, "swApp")->OpenDoc6(name, type, kOpenSilent, L"", errors, warnings);
}

} // namespace host
