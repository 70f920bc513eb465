#include "host/com/com_objects.h"

#include "host/object_kinds.h"

#include <memory>
#include <utility>

namespace host::com
{

namespace
{

/// Base of the adapters: the object's dispatch.
class ComObject
{
public:
    explicit ComObject(Dispatch dispatch) : m_d(std::move(dispatch)) {}

    IDispatch* Object() const { return m_d.Object(); }

protected:
    /// The host object answered, wrapped as T of kind; nothing stays nothing.
    template <typename T> std::shared_ptr<T> Wrap(const Result& result, const char* kind) const
    {
        ComPtr<IDispatch> object = result.Object();
        if (!object)
            return nullptr;
        return std::make_shared<T>(m_d.Child(std::move(object), kind));
    }

    Dispatch m_d;
};

Variant OptionalTextArg(const host::OptionalText& text)
{
    return text ? Variant::Text(*text) : Variant();
}

/// A text format handed back to the host, by reference as the program passes it: the host is handed a
/// variable that owns one reference and may put another object into it. Only a format of this host can go
/// back; nothing goes as a null object.
class FormatArg
{
public:
    FormatArg(const host::TextFormatPtr& format, const char* member);
    FormatArg(const FormatArg&) = delete;
    FormatArg& operator=(const FormatArg&) = delete;
    ~FormatArg()
    {
        if (m_variable)
            m_variable->Release();
    }

    Variant Ref() { return Variant::ByRef(VT_DISPATCH, &m_variable); }

private:
    IDispatch* m_variable = nullptr;
};

class ComFrame final : public host::Frame, public ComObject
{
public:
    using ComObject::ComObject;
    std::int32_t GetHWnd() override { return m_d.Call("GetHWnd").I4(); }
};

class ComTextFormat final : public host::TextFormat, public ComObject
{
public:
    using ComObject::ComObject;

    std::wstring get_TypeFaceName() override { return m_d.Call("TypeFaceName").Text(); }
    void put_TypeFaceName(const std::wstring& name) override { m_d.Put("TypeFaceName", Variant::Text(name)); }
    double get_CharHeight() override { return m_d.Call("CharHeight").R8(); }
    void put_CharHeight(double metres) override { m_d.Put("CharHeight", Variant::R8(metres)); }
    std::int32_t get_CharHeightInPts() override { return m_d.Call("CharHeightInPts").I4(); }
    void put_CharHeightInPts(std::int32_t points) override { m_d.Put("CharHeightInPts", Variant::I4(points)); }
    bool get_Bold() override { return m_d.Call("Bold").Bool(); }
    void put_Bold(bool bold) override { m_d.Put("Bold", Variant::Bool(bold)); }
};

FormatArg::FormatArg(const host::TextFormatPtr& format, const char* member)
{
    if (!format)
        return;
    const auto* ours = dynamic_cast<const ComTextFormat*>(format.get());
    if (!ours)
        throw host::Error(E_INVALIDARG, member, "a text format of another host cannot be handed to this one");
    m_variable = ComPtr<IDispatch>::Share(ours->Object()).Detach();
}

class ComAnnotation final : public host::Annotation, public ComObject
{
public:
    using ComObject::ComObject;

    std::wstring GetName() override { return m_d.Call("GetName").Text(); }
    bool SetName(const std::wstring& nameIn) override { return m_d.Call("SetName", Variant::Text(nameIn)).Bool(); }
    host::TextFormatPtr GetTextFormat(std::int16_t index) override
    {
        return Wrap<ComTextFormat>(m_d.Call("GetTextFormat", Variant::I2(index)), kind::kTextFormat);
    }
    bool SetTextFormat(std::int16_t index, bool useDoc, const host::TextFormatPtr& textFormat) override
    {
        FormatArg format(textFormat, "SetTextFormat");
        return m_d.Send("SetTextFormat", Variant::I2(index), Variant::Bool(useDoc), format.Ref()).Bool();
    }
    bool Select2(bool append, std::int16_t mark) override
    {
        return m_d.Call("Select2", Variant::Bool(append), Variant::I2(mark)).Bool();
    }
};

class ComNote final : public host::Note, public ComObject
{
public:
    using ComObject::ComObject;

    void put_Angle(double radians) override { m_d.Put("Angle", Variant::R8(radians)); }
    bool SetBalloon(std::int16_t style, std::int16_t size) override
    {
        return m_d.Send("SetBalloon", Variant::I2(style), Variant::I2(size)).Bool();
    }
    host::TextFormatPtr GetTextFormat() override
    {
        return Wrap<ComTextFormat>(m_d.Call("GetTextFormat"), kind::kTextFormat);
    }
    bool SetTextFormat(std::int16_t textFormatType, const host::TextFormatPtr& textFormat) override
    {
        FormatArg format(textFormat, "SetTextFormat");
        return m_d.Send("SetTextFormat", Variant::I2(textFormatType), format.Ref()).Bool();
    }
    host::AnnotationPtr GetAnnotation() override
    {
        return Wrap<ComAnnotation>(m_d.Call("GetAnnotation"), kind::kAnnotation);
    }
};

class ComSFSymbol final : public host::SFSymbol, public ComObject
{
public:
    using ComObject::ComObject;

    host::SFSymbolPtr GetNext() override { return Wrap<ComSFSymbol>(m_d.Call("GetNext"), kind::kSymbol); }
    std::int32_t GetSymbolType() override { return m_d.Call("GetSymbolType").I4(); }
    host::OptionalText GetText(std::int16_t whichOne) override
    {
        return m_d.Call("GetText", Variant::I2(whichOne)).OptionalText();
    }
    bool GetSymbolAllAround() override { return m_d.Call("GetSymbolAllAround").Bool(); }
    std::int32_t GetDirectionOfLay() override { return m_d.Call("GetDirectionOfLay").I4(); }
    host::AnnotationPtr GetAnnotation() override
    {
        return Wrap<ComAnnotation>(m_d.Call("GetAnnotation"), kind::kAnnotation);
    }
    bool SetSymbol(std::int32_t symbol, std::int16_t surfaceTexture, bool allAround) override
    {
        return m_d.Send("SetSymbol", Variant::I4(symbol), Variant::I2(surfaceTexture), Variant::Bool(allAround)).Bool();
    }
    bool SetText(std::int16_t whichOne, const host::OptionalText& text) override
    {
        return m_d.Send("SetText", Variant::I2(whichOne), OptionalTextArg(text)).Bool();
    }
};

class ComSheet final : public host::Sheet, public ComObject
{
public:
    using ComObject::ComObject;

    std::wstring GetName() override { return m_d.Call("GetName").Text(); }
    std::vector<double> GetProperties() override { return m_d.Call("GetProperties").Doubles(); }
};

class ComView final : public host::View, public ComObject
{
public:
    using ComObject::ComObject;

    host::ViewPtr GetNextView() override { return Wrap<ComView>(m_d.Call("GetNextView"), kind::kView); }
    host::SFSymbolPtr GetFirstSFSymbol() override
    {
        return Wrap<ComSFSymbol>(m_d.Call("GetFirstSFSymbol"), kind::kSymbol);
    }
    std::wstring GetReferencedModelName() override { return m_d.Call("GetReferencedModelName").Text(); }
    std::wstring GetName() override { return m_d.Call("GetName").Text(); }
};

class ComCustomPropertyManager final : public host::CustomPropertyManager, public ComObject
{
public:
    using ComObject::ComObject;

    std::int32_t Add2(const std::wstring& fieldName, std::int32_t fieldType, const std::wstring& fieldValue) override
    {
        return m_d.Send("Add2", Variant::Text(fieldName), Variant::I4(fieldType), Variant::Text(fieldValue)).I4();
    }
    std::int32_t Set(const std::wstring& fieldName, const std::wstring& fieldValue) override
    {
        return m_d.Send("Set", Variant::Text(fieldName), Variant::Text(fieldValue)).I4();
    }
    void Get2(const std::wstring& fieldName, std::wstring& valOut, std::wstring& resolvedValOut) override
    {
        Bstr value;
        Bstr resolved;
        m_d.Send("Get2", Variant::Text(fieldName), Variant::ByRef(VT_BSTR, value.Put()),
                 Variant::ByRef(VT_BSTR, resolved.Put()));
        valOut = value.Text();
        resolvedValOut = resolved.Text();
    }
};

class ComFeatureManager final : public host::FeatureManager, public ComObject
{
public:
    using ComObject::ComObject;

    void put_EnableFeatureTree(bool enable) override { m_d.Put("EnableFeatureTree", Variant::Bool(enable)); }
    void put_EnableFeatureTreeWindow(bool enable) override
    {
        m_d.Put("EnableFeatureTreeWindow", Variant::Bool(enable));
    }
};

class ComSelectionManager final : public host::SelectionManager, public ComObject
{
public:
    using ComObject::ComObject;

    std::int32_t GetSelectedObjectCount2(std::int32_t mark) override
    {
        return m_d.Call("GetSelectedObjectCount2", Variant::I4(mark)).I4();
    }
    std::int32_t DeSelect2(const std::vector<std::int32_t>& atIndex, std::int32_t mark) override
    {
        return m_d.Send("DeSelect2", Variant::Array(VT_I4, SafeArray::OfI4(atIndex)), Variant::I4(mark)).I4();
    }
};

class ComExtension final : public host::Extension, public ComObject
{
public:
    using ComObject::ComObject;

    bool SelectByID(const std::wstring& name, const std::wstring& type, double x, double y, double z, bool append,
                    std::int16_t mark, const host::CalloutPtr& callout) override
    {
        // No callout object of this host exists in the program; "none" is a null object, not an empty
        // VARIANT, which the host refuses in an object slot.
        if (callout)
            throw host::Error(E_INVALIDARG, "SelectByID", "a callout of another host cannot be handed to this one");
        return m_d
            .Call("SelectByID", Variant::Text(name), Variant::Text(type), Variant::R8(x), Variant::R8(y),
                  Variant::R8(z), Variant::Bool(append), Variant::I2(mark), Variant::Dispatch(nullptr))
            .Bool();
    }

    host::SFSymbolPtr InsertSurfaceFinishSymbol3(std::int32_t symType, std::int16_t leaderType, double locX,
                                                 double locY, double locZ, std::int32_t laySymbol,
                                                 std::int16_t arrowType, const std::wstring& machAllowance,
                                                 const std::wstring& otherVals, const std::wstring& prodMethod,
                                                 const std::wstring& sampleLen, const std::wstring& maxRoughness,
                                                 const std::wstring& minRoughness,
                                                 const std::wstring& roughnessSpacing) override
    {
        return Wrap<ComSFSymbol>(m_d.Call("InsertSurfaceFinishSymbol3", Variant::I4(symType), Variant::I2(leaderType),
                                          Variant::R8(locX), Variant::R8(locY), Variant::R8(locZ),
                                          Variant::I4(laySymbol), Variant::I2(arrowType), Variant::Text(machAllowance),
                                          Variant::Text(otherVals), Variant::Text(prodMethod), Variant::Text(sampleLen),
                                          Variant::Text(maxRoughness), Variant::Text(minRoughness),
                                          Variant::Text(roughnessSpacing)),
                                 kind::kSymbol);
    }

    host::CustomPropertyManagerPtr CustomPropertyManager(const std::wstring& configName) override
    {
        return Wrap<ComCustomPropertyManager>(m_d.Call("CustomPropertyManager", Variant::Text(configName)),
                                              kind::kPropertyManager);
    }
};

/// Every document; the host answers the drawing members on any document by name and fails the call on one
/// that is no drawing. A drawing, a part and an assembly may number their members differently, so the
/// document's members are looked up under its type, which the first GetType tells; GetType itself is looked
/// up once for every document, as it is what tells the type.
class ComDocument final : public host::Drawing, public ComObject, public std::enable_shared_from_this<ComDocument>
{
public:
    explicit ComDocument(Dispatch dispatch) : ComObject(dispatch), m_anyDocument(std::move(dispatch)) {}

    std::int32_t GetType() override
    {
        const std::int32_t type = m_anyDocument.Call("GetType").I4();
        m_d.SetKind(kind::OfDocument(type));
        m_typed = true;
        return type;
    }
    std::wstring GetPathName() override { return Typed().Call("GetPathName").Text(); }
    host::FeatureManagerPtr FeatureManager() override
    {
        return Wrap<ComFeatureManager>(Typed().Call("FeatureManager"), kind::kFeatureManager);
    }
    host::ExtensionPtr Extension() override { return Wrap<ComExtension>(Typed().Call("Extension"), kind::kExtension); }
    host::SelectionManagerPtr SelectionManager() override
    {
        return Wrap<ComSelectionManager>(Typed().Call("SelectionManager"), kind::kSelectionManager);
    }
    bool DeleteSelection(bool confirmFlag) override
    {
        return Typed().Call("DeleteSelection", Variant::Bool(confirmFlag)).Bool();
    }
    bool SelectByID(const std::wstring& selId, const std::wstring& selParams, double x, double y, double z) override
    {
        return Typed()
            .Send("SelectByID", Variant::Text(selId), Variant::Text(selParams), Variant::R8(x), Variant::R8(y),
                  Variant::R8(z))
            .Bool();
    }
    bool SelectByIDRef(const std::wstring& selId, const std::wstring& selParams, double& x, double& y,
                       double z) override
    {
        return Typed()
            .Send("SelectByID", Variant::Text(selId), Variant::Text(selParams), Variant::ByRef(VT_R8, &x),
                  Variant::ByRef(VT_R8, &y), Variant::R8(z))
            .Bool();
    }
    host::NotePtr InsertNote(const std::wstring& text) override
    {
        return Wrap<ComNote>(Typed().Call("InsertNote", Variant::Text(text)), kind::kNote);
    }
    bool GetUserPreferenceToggle(std::int16_t userPreferenceToggle) override
    {
        return Typed().Call("GetUserPreferenceToggle", Variant::I2(userPreferenceToggle)).Bool();
    }
    bool SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) override
    {
        return Typed().Send("SetUserPreferenceToggle", Variant::I2(userPreferenceValue), Variant::Bool(onFlag)).Bool();
    }
    host::TextFormatPtr GetUserPreferenceTextFormat(std::int16_t userPreferenceValue) override
    {
        return Wrap<ComTextFormat>(Typed().Call("GetUserPreferenceTextFormat", Variant::I2(userPreferenceValue)),
                                   kind::kTextFormat);
    }
    void EditRebuild() override { Typed().Send("EditRebuild"); }

    host::DrawingPtr AsDrawing() override { return shared_from_this(); }

    host::SheetPtr GetCurrentSheet() override { return Wrap<ComSheet>(Typed().Call("GetCurrentSheet"), kind::kSheet); }
    host::ViewPtr GetFirstView() override { return Wrap<ComView>(Typed().Call("GetFirstView"), kind::kView); }
    bool ActivateSheet(const std::wstring& name) override
    {
        return Typed().Send("ActivateSheet", Variant::Text(name)).Bool();
    }
    std::vector<std::vector<host::ViewPtr>> GetViews() override
    {
        std::vector<std::vector<host::ViewPtr>> sheets;
        for (auto& objects : Typed().Call("GetViews").ObjectArrays())
        {
            std::vector<host::ViewPtr> views;
            for (auto& object : objects)
                views.push_back(std::make_shared<ComView>(Typed().Child(std::move(object), kind::kView)));
            sheets.push_back(std::move(views));
        }
        return sheets;
    }

private:
    /// The dispatch under the document's own kind; asks the type first if nobody has.
    Dispatch& Typed()
    {
        if (!m_typed)
            GetType();
        return m_d;
    }

    Dispatch m_anyDocument;
    bool m_typed = false;
};

class ComApplication final : public host::Application, public ComObject
{
public:
    using ComObject::ComObject;

    host::DocumentPtr ActiveDoc() override { return Wrap<ComDocument>(m_d.Call("ActiveDoc"), kind::kDocument); }
    host::DocumentPtr OpenDoc6(const std::wstring& fileName, std::int32_t type, std::int32_t options,
                               const std::wstring& configuration, std::int32_t& errors, std::int32_t& warnings) override
    {
        LONG errorsOut = 0;
        LONG warningsOut = 0;
        auto document =
            Wrap<ComDocument>(m_d.Call("OpenDoc6", Variant::Text(fileName), Variant::I4(type), Variant::I4(options),
                                       Variant::Text(configuration), Variant::ByRef(VT_I4, &errorsOut),
                                       Variant::ByRef(VT_I4, &warningsOut)),
                              kind::kDocument);
        errors = errorsOut;
        warnings = warningsOut;
        return document;
    }
    std::wstring GetCurrentMacroPathName() override { return m_d.Call("GetCurrentMacroPathName").Text(); }
    std::wstring GetExecutablePath() override { return m_d.Call("GetExecutablePath").Text(); }
    host::FramePtr Frame() override { return Wrap<ComFrame>(m_d.Call("Frame"), kind::kFrame); }
    void SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) override
    {
        m_d.Send("SetUserPreferenceToggle", Variant::I2(userPreferenceValue), Variant::Bool(onFlag));
    }
};

} // namespace

host::ApplicationPtr MakeApplication(ComPtr<IDispatch> application, std::shared_ptr<DispIdCache> cache)
{
    if (!application)
        return nullptr;
    return std::make_shared<ComApplication>(Dispatch(std::move(application), kind::kApplication, std::move(cache)));
}

} // namespace host::com
