#include "tools/simhost/dispatch_server.h"

#include "host/com/variant_types.h"
#include "host/host_error.h"
#include "host/object_kinds.h"
#include "host/sim/sim_document.h"
#include "ui/conversions.h"

#include <exception>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <utility>

namespace simhost
{

using host::com::ArgumentType;
using host::com::Bstr;
using host::com::ComPtr;
using host::com::Variant;

namespace
{

constexpr HRESULT kMemberNotFound = DISP_E_MEMBERNOTFOUND;

/// An argument the member cannot take: Invoke answers DISP_E_TYPEMISMATCH naming it.
struct ArgumentRefused
{
    std::size_t index; ///< in the member's parameter order
};

std::string InvokeName(WORD flags)
{
    std::string name;
    const auto add = [&](WORD flag, const char* text) {
        if ((flags & flag) == 0)
            return;
        if (!name.empty())
            name += "|";
        name += text;
    };
    add(DISPATCH_METHOD, "method");
    add(DISPATCH_PROPERTYGET, "get");
    add(DISPATCH_PROPERTYPUT, "put");
    add(DISPATCH_PROPERTYPUTREF, "putref");
    return name;
}

/// The arguments of one call, in the member's parameter order, taken as a typed interface takes them:
/// by value or by reference, converted when they convert. Out values must come by reference.
class Args
{
public:
    Args(const DISPPARAMS& params, const DispatchServer& server) : m_params(params), m_server(server) {}

    std::int16_t I2(std::size_t i) const { return Coerced(i, VT_I2).Get().iVal; }
    std::int32_t I4(std::size_t i) const { return Coerced(i, VT_I4).Get().lVal; }
    double R8(std::size_t i) const { return Coerced(i, VT_R8).Get().dblVal; }
    bool Bool(std::size_t i) const { return Coerced(i, VT_BOOL).Get().boolVal != VARIANT_FALSE; }
    std::wstring Text(std::size_t i) const
    {
        const BSTR raw = Coerced(i, VT_BSTR).Get().bstrVal;
        return raw ? std::wstring(raw, SysStringLen(raw)) : std::wstring();
    }
    /// VT_EMPTY and VT_NULL are no text at all.
    host::OptionalText OptionalText(std::size_t i) const
    {
        const VARTYPE type = Deref(i).Type();
        if (type == VT_EMPTY || type == VT_NULL)
            return std::nullopt;
        return Text(i);
    }
    /// One index, or an array of them.
    std::vector<std::int32_t> I4List(std::size_t i) const
    {
        const Variant value = Deref(i);
        const VARIANT& v = value.Get();
        if ((v.vt & VT_ARRAY) == 0)
            return {I4(i)};
        const VARTYPE element = v.vt & VT_TYPEMASK;
        if (!v.parray || SafeArrayGetDim(v.parray) != 1 || (element != VT_I4 && element != VT_VARIANT))
            throw ArgumentRefused{i};
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(v.parray, 1, &lower);
        SafeArrayGetUBound(v.parray, 1, &upper);
        std::vector<std::int32_t> values;
        for (LONG k = lower; k <= upper; ++k)
        {
            Variant item;
            HRESULT hr = S_OK;
            if (element == VT_VARIANT)
                hr = SafeArrayGetElement(v.parray, &k, item.Put());
            else
            {
                LONG raw = 0;
                hr = SafeArrayGetElement(v.parray, &k, &raw);
                item = Variant::I4(raw);
            }
            Variant converted;
            if (FAILED(hr) || FAILED(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&item.Get()), 0, VT_I4)))
                throw ArgumentRefused{i};
            values.push_back(converted.Get().lVal);
        }
        return values;
    }
    /// An object, by value or by reference; nothing for no object or an object of another server.
    std::shared_ptr<host::HostObject> Object(std::size_t i) const
    {
        const Variant value = Deref(i);
        const VARIANT& v = value.Get();
        if (v.vt == VT_DISPATCH)
            return m_server.Unwrap(v.pdispVal);
        if (v.vt == VT_UNKNOWN)
            return m_server.Unwrap(v.punkVal);
        if (v.vt == VT_EMPTY || v.vt == VT_NULL)
            return nullptr;
        throw ArgumentRefused{i};
    }
    /// The caller's variable of an out value, passed by reference.
    LONG& OutI4(std::size_t i) const
    {
        VARIANT& v = Raw(i);
        if (v.vt != (VT_BYREF | VT_I4) || !v.plVal)
            throw ArgumentRefused{i};
        return *v.plVal;
    }
    BSTR& OutText(std::size_t i) const
    {
        VARIANT& v = Raw(i);
        if (v.vt != (VT_BYREF | VT_BSTR) || !v.pbstrVal)
            throw ArgumentRefused{i};
        return *v.pbstrVal;
    }

private:
    VARIANT& Raw(std::size_t i) const { return m_params.rgvarg[m_params.cArgs - 1 - i]; }
    /// A copy of the argument with any reference followed.
    Variant Deref(std::size_t i) const
    {
        Variant copy;
        if (FAILED(VariantCopyInd(copy.Put(), &Raw(i))))
            throw ArgumentRefused{i};
        return copy;
    }
    Variant Coerced(std::size_t i, VARTYPE type) const
    {
        const Variant value = Deref(i);
        Variant converted;
        if (FAILED(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value.Get()), 0, type)))
            throw ArgumentRefused{i};
        return converted;
    }

    const DISPPARAMS& m_params;
    const DispatchServer& m_server;
};

/// Replaces the text in a caller's BSTR variable.
void Assign(BSTR& variable, const std::wstring& text)
{
    Bstr fresh(text);
    SysFreeString(variable);
    variable = fresh.Detach();
}

/// What a member answers, as the host's typed interface answers it.
class Answer
{
public:
    Answer(VARIANT* result, DispatchServer& server) : m_result(result), m_server(server) {}

    void Bool(bool value) { Set(Variant::Bool(value)); }
    void I4(std::int32_t value) { Set(Variant::I4(value)); }
    void R8(double value) { Set(Variant::R8(value)); }
    void Text(const std::wstring& value) { Set(Variant::Text(value)); }
    /// No text at all is VT_EMPTY.
    void OptionalText(const host::OptionalText& value) { Set(value ? Variant::Text(*value) : Variant()); }
    void Doubles(const std::vector<double>& values) { Set(Variant::Array(VT_R8, host::com::SafeArray::OfR8(values))); }
    /// An object of kind, or nothing as a null VT_DISPATCH.
    void Object(std::shared_ptr<host::HostObject> object, Kind kind)
    {
        Set(Variant::Dispatch(m_server.Wrap(std::move(object), kind)));
    }
    /// Lists of objects of kind as a VT_ARRAY|VT_VARIANT whose elements are VT_ARRAY|VT_VARIANT of
    /// VT_DISPATCH, the form a VB client reads as an array of arrays.
    template <typename T> void ObjectArrays(const std::vector<std::vector<std::shared_ptr<T>>>& lists, Kind kind)
    {
        Set(VariantArray(lists.size(), [&](std::size_t i) {
            const auto& list = lists[i];
            return VariantArray(list.size(),
                                [&](std::size_t k) { return Variant::Dispatch(m_server.Wrap(list[k], kind)); });
        }));
    }

private:
    /// A VT_ARRAY|VT_VARIANT of count elements, element i made by make(i). The VARIANT owns the array from the
    /// start, so that a failure part way frees what was made.
    template <typename Make> static Variant VariantArray(std::size_t count, Make&& make)
    {
        Variant array;
        SAFEARRAY* raw = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
        if (!raw)
            throw std::bad_alloc();
        VARIANT* value = array.Put();
        value->vt = VT_ARRAY | VT_VARIANT;
        value->parray = raw;
        for (LONG i = 0; i < static_cast<LONG>(count); ++i)
        {
            // The array takes a copy of the element (one more reference to an object); the element goes.
            const Variant element = make(static_cast<std::size_t>(i));
            const HRESULT hr = SafeArrayPutElement(raw, &i, const_cast<VARIANT*>(&element.Get()));
            if (FAILED(hr))
                throw host::Error(hr, "SafeArrayPutElement", "the array cannot be filled");
        }
        return array;
    }

    void Set(Variant value)
    {
        if (m_result)
            *m_result = value.Detach();
    }

    VARIANT* m_result;
    DispatchServer& m_server;
};

template <typename T> T& As(host::HostObject& object)
{
    return dynamic_cast<T&>(object);
}

enum class Access
{
    Method,
    Get,
    Put,
    GetPut,
};

/// put: the call sets a property (its value is the last argument).
using Handler = void (*)(host::HostObject& self, const Args& args, Answer& answer, bool put);

struct Member
{
    const wchar_t* name;
    Access access;
    std::size_t argc; ///< arguments besides a property's new value
    Handler handler;
};

// clang-format off
const Member kApplicationMembers[] = {
    {L"ActiveDoc", Access::Get, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Application>(o).ActiveDoc(), Kind::Document); }},
    {L"OpenDoc6", Access::Method, 6, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        LONG& errorsOut = a.OutI4(4);
        LONG& warningsOut = a.OutI4(5);
        std::int32_t errors = 0;
        std::int32_t warnings = 0;
        auto document = As<host::Application>(o).OpenDoc6(a.Text(0), a.I4(1), a.I4(2), a.Text(3), errors, warnings);
        errorsOut = errors;
        warningsOut = warnings;
        r.Object(std::move(document), Kind::Document); }},
    {L"GetCurrentMacroPathName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::Application>(o).GetCurrentMacroPathName()); }},
    {L"GetExecutablePath", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::Application>(o).GetExecutablePath()); }},
    {L"Frame", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Application>(o).Frame(), Kind::Frame); }},
    {L"SetUserPreferenceToggle", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer&, bool) {
        As<host::Application>(o).SetUserPreferenceToggle(a.I2(0), a.Bool(1)); }},
};

const Member kFrameMembers[] = {
    {L"GetHWnd", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.I4(As<host::Frame>(o).GetHWnd()); }},
};

const Member kDocumentMembers[] = {
    {L"GetType", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.I4(As<host::Document>(o).GetType()); }},
    {L"FeatureManager", Access::Get, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Document>(o).FeatureManager(), Kind::FeatureManager); }},
    {L"Extension", Access::Get, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Document>(o).Extension(), Kind::Extension); }},
    {L"SelectionManager", Access::Get, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Document>(o).SelectionManager(), Kind::SelectionManager); }},
    {L"DeleteSelection", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Document>(o).DeleteSelection(a.Bool(0))); }},
    {L"SelectByID", Access::Method, 5, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Document>(o).SelectByID(a.Text(0), a.Text(1), a.R8(2), a.R8(3), a.R8(4))); }},
    {L"InsertNote", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Object(As<host::Document>(o).InsertNote(a.Text(0)), Kind::Note); }},
    {L"GetUserPreferenceToggle", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Document>(o).GetUserPreferenceToggle(a.I2(0))); }},
    {L"SetUserPreferenceToggle", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Document>(o).SetUserPreferenceToggle(a.I2(0), a.Bool(1))); }},
    {L"GetUserPreferenceTextFormat", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Object(As<host::Document>(o).GetUserPreferenceTextFormat(a.I2(0)), Kind::TextFormat); }},
    {L"EditRebuild", Access::Method, 0, [](host::HostObject& o, const Args&, Answer&, bool) {
        As<host::Document>(o).EditRebuild(); }},
    {L"GetCurrentSheet", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Drawing>(o).GetCurrentSheet(), Kind::Sheet); }},
    {L"GetFirstView", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Drawing>(o).GetFirstView(), Kind::View); }},
    {L"ActivateSheet", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Drawing>(o).ActivateSheet(a.Text(0))); }},
    {L"GetViews", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.ObjectArrays(As<host::Drawing>(o).GetViews(), Kind::View); }},
    {L"GetPathName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::Document>(o).GetPathName()); }},
};

const Member kSheetMembers[] = {
    {L"GetName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::Sheet>(o).GetName()); }},
    {L"GetProperties", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Doubles(As<host::Sheet>(o).GetProperties()); }},
};

const Member kViewMembers[] = {
    {L"GetNextView", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::View>(o).GetNextView(), Kind::View); }},
    {L"GetFirstSFSymbol", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::View>(o).GetFirstSFSymbol(), Kind::Symbol); }},
    {L"GetReferencedModelName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::View>(o).GetReferencedModelName()); }},
    {L"GetName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::View>(o).GetName()); }},
};

const Member kSymbolMembers[] = {
    {L"GetNext", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::SFSymbol>(o).GetNext(), Kind::Symbol); }},
    {L"GetSymbolType", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.I4(As<host::SFSymbol>(o).GetSymbolType()); }},
    {L"GetText", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.OptionalText(As<host::SFSymbol>(o).GetText(a.I2(0))); }},
    {L"GetSymbolAllAround", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Bool(As<host::SFSymbol>(o).GetSymbolAllAround()); }},
    {L"GetDirectionOfLay", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.I4(As<host::SFSymbol>(o).GetDirectionOfLay()); }},
    {L"GetAnnotation", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::SFSymbol>(o).GetAnnotation(), Kind::Annotation); }},
    {L"SetSymbol", Access::Method, 3, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::SFSymbol>(o).SetSymbol(a.I4(0), a.I2(1), a.Bool(2))); }},
    {L"SetText", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::SFSymbol>(o).SetText(a.I2(0), a.OptionalText(1))); }},
};

const Member kAnnotationMembers[] = {
    {L"GetName", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Text(As<host::Annotation>(o).GetName()); }},
    {L"SetName", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Annotation>(o).SetName(a.Text(0))); }},
    {L"GetTextFormat", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Object(As<host::Annotation>(o).GetTextFormat(a.I2(0)), Kind::TextFormat); }},
    {L"SetTextFormat", Access::Method, 3, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Annotation>(o).SetTextFormat(a.I2(0), a.Bool(1),
                                                     std::dynamic_pointer_cast<host::TextFormat>(a.Object(2)))); }},
    {L"Select2", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Annotation>(o).Select2(a.Bool(0), a.I2(1))); }},
};

const Member kNoteMembers[] = {
    {L"Angle", Access::Put, 0, [](host::HostObject& o, const Args& a, Answer&, bool) {
        As<host::Note>(o).put_Angle(a.R8(0)); }},
    {L"SetBalloon", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Note>(o).SetBalloon(a.I2(0), a.I2(1))); }},
    {L"GetTextFormat", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Note>(o).GetTextFormat(), Kind::TextFormat); }},
    {L"SetTextFormat", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Bool(As<host::Note>(o).SetTextFormat(a.I2(0), std::dynamic_pointer_cast<host::TextFormat>(a.Object(1)))); }},
    {L"GetAnnotation", Access::Method, 0, [](host::HostObject& o, const Args&, Answer& r, bool) {
        r.Object(As<host::Note>(o).GetAnnotation(), Kind::Annotation); }},
};

const Member kTextFormatMembers[] = {
    {L"TypeFaceName", Access::GetPut, 0, [](host::HostObject& o, const Args& a, Answer& r, bool put) {
        auto& format = As<host::TextFormat>(o);
        if (put)
            format.put_TypeFaceName(a.Text(0));
        else
            r.Text(format.get_TypeFaceName()); }},
    {L"CharHeight", Access::GetPut, 0, [](host::HostObject& o, const Args& a, Answer& r, bool put) {
        auto& format = As<host::TextFormat>(o);
        if (put)
            format.put_CharHeight(a.R8(0));
        else
            r.R8(format.get_CharHeight()); }},
    {L"CharHeightInPts", Access::GetPut, 0, [](host::HostObject& o, const Args& a, Answer& r, bool put) {
        auto& format = As<host::TextFormat>(o);
        if (put)
            format.put_CharHeightInPts(a.I4(0));
        else
            r.I4(format.get_CharHeightInPts()); }},
    {L"Bold", Access::GetPut, 0, [](host::HostObject& o, const Args& a, Answer& r, bool put) {
        auto& format = As<host::TextFormat>(o);
        if (put)
            format.put_Bold(a.Bool(0));
        else
            r.Bool(format.get_Bold()); }},
};

const Member kExtensionMembers[] = {
    {L"SelectByID", Access::Method, 8, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        (void)a.Object(7); // the callout: no object of this server is one
        r.Bool(As<host::Extension>(o).SelectByID(a.Text(0), a.Text(1), a.R8(2), a.R8(3), a.R8(4), a.Bool(5), a.I2(6),
                                                 nullptr)); }},
    {L"InsertSurfaceFinishSymbol3", Access::Method, 14, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Object(As<host::Extension>(o).InsertSurfaceFinishSymbol3(
                     a.I4(0), a.I2(1), a.R8(2), a.R8(3), a.R8(4), a.I4(5), a.I2(6), a.Text(7), a.Text(8), a.Text(9),
                     a.Text(10), a.Text(11), a.Text(12), a.Text(13)),
                 Kind::Symbol); }},
    {L"CustomPropertyManager", Access::Get, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.Object(As<host::Extension>(o).CustomPropertyManager(a.Text(0)), Kind::PropertyManager); }},
};

const Member kSelectionManagerMembers[] = {
    {L"GetSelectedObjectCount2", Access::Method, 1, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.I4(As<host::SelectionManager>(o).GetSelectedObjectCount2(a.I4(0))); }},
    {L"DeSelect2", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.I4(As<host::SelectionManager>(o).DeSelect2(a.I4List(0), a.I4(1))); }},
};

const Member kPropertyManagerMembers[] = {
    {L"Add2", Access::Method, 3, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.I4(As<host::CustomPropertyManager>(o).Add2(a.Text(0), a.I4(1), a.Text(2))); }},
    {L"Set", Access::Method, 2, [](host::HostObject& o, const Args& a, Answer& r, bool) {
        r.I4(As<host::CustomPropertyManager>(o).Set(a.Text(0), a.Text(1))); }},
    {L"Get2", Access::Method, 3, [](host::HostObject& o, const Args& a, Answer&, bool) {
        BSTR& valueOut = a.OutText(1);
        BSTR& resolvedOut = a.OutText(2);
        std::wstring value;
        std::wstring resolved;
        As<host::CustomPropertyManager>(o).Get2(a.Text(0), value, resolved);
        Assign(valueOut, value);
        Assign(resolvedOut, resolved); }},
};

const Member kFeatureManagerMembers[] = {
    {L"EnableFeatureTree", Access::Put, 0, [](host::HostObject& o, const Args& a, Answer&, bool) {
        As<host::FeatureManager>(o).put_EnableFeatureTree(a.Bool(0)); }},
    {L"EnableFeatureTreeWindow", Access::Put, 0, [](host::HostObject& o, const Args& a, Answer&, bool) {
        As<host::FeatureManager>(o).put_EnableFeatureTreeWindow(a.Bool(0)); }},
};
// clang-format on

std::span<const Member> MembersOf(Kind kind)
{
    switch (kind)
    {
    case Kind::Application:
        return kApplicationMembers;
    case Kind::Frame:
        return kFrameMembers;
    case Kind::Document:
        return kDocumentMembers;
    case Kind::Sheet:
        return kSheetMembers;
    case Kind::View:
        return kViewMembers;
    case Kind::Symbol:
        return kSymbolMembers;
    case Kind::Annotation:
        return kAnnotationMembers;
    case Kind::Note:
        return kNoteMembers;
    case Kind::TextFormat:
        return kTextFormatMembers;
    case Kind::Extension:
        return kExtensionMembers;
    case Kind::SelectionManager:
        return kSelectionManagerMembers;
    case Kind::PropertyManager:
        return kPropertyManagerMembers;
    case Kind::FeatureManager:
        return kFeatureManagerMembers;
    }
    return {};
}

// A failure's text, made when the client reads it (FailureText::Deferred) or at once. One thread serves
// every call, so one pending text suffices.
thread_local std::wstring t_pendingDescription;

HRESULT STDMETHODCALLTYPE FillInException(EXCEPINFO* info)
{
    if (!info)
        return E_POINTER;
    info->bstrSource = SysAllocString(L"simhost");
    info->bstrDescription = SysAllocString(t_pendingDescription.c_str());
    return S_OK;
}

} // namespace

/// One host object as a COM object. Lives on the server's single thread; the reference count needs no
/// interlocking.
class DispatchObject final : public host::com::SingleInterfaceObject<DispatchObject, IDispatch>
{
public:
    DispatchObject(std::shared_ptr<DispatchServer> server, std::shared_ptr<host::HostObject> object, Kind kind)
        : m_server(std::move(server)), m_object(std::move(object)), m_kind(kind), m_lookupKind(KindName(kind))
    {
        m_server->m_live.emplace(static_cast<IUnknown*>(this), this);
        // A part's and an assembly's members have numbers of their own, as a host may give them, so that a
        // client that takes a drawing's number for a part's member calls the wrong one. GetType keeps its
        // number: it is what tells a client which kind of document it holds.
        if (const auto type = m_object ? host::sim::DocumentTypeOf(*m_object) : std::nullopt)
        {
            m_shift = *type == host::kPart ? 100 : *type == host::kAssembly ? 200 : 0;
            m_lookupKind = host::kind::OfDocument(*type);
        }
    }

    const std::shared_ptr<host::HostObject>& HostObject() const { return m_object; }

    static REFIID InterfaceId() { return IID_IDispatch; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0; // no type library: every member is found by name
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return DISP_E_BADINDEX;
    }

    // The bookkeeping around a lookup or a call may fail too (no memory): COM's stub gets an HRESULT.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return host::com::AnsweredAsHresult([&] { return LookUp(names, count, ids); });
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override
    {
        return host::com::AnsweredAsHresult([&] { return Call(id, flags, params, result, exception, argError); });
    }

private:
    friend class host::com::SingleInterfaceObject<DispatchObject, IDispatch>;
    ~DispatchObject() { m_server->m_live.erase(static_cast<IUnknown*>(this)); }

    HRESULT LookUp(LPOLESTR* names, UINT count, DISPID* ids)
    {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        m_server->Touch();
        const auto members = MembersOf(m_kind);
        std::optional<std::size_t> found;
        for (std::size_t i = 0; i < members.size() && names[0]; ++i)
            if (CompareStringOrdinal(members[i].name, -1, names[0], -1, TRUE) == CSTR_EQUAL)
                found = i;
        const std::string asked = found ? ui::ToUtf8(members[*found].name) : ui::ToUtf8(names[0] ? names[0] : L"");
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        if (m_server->Busy())
            return RPC_E_CALL_REJECTED;
        // GetType is asked before a client knows the document's type: under the kind all documents share.
        ++m_server->m_lookups[found && KeepsItsNumber(members[*found]) ? KindName(m_kind) : m_lookupKind][asked];
        ++m_server->m_lookupTotal;
        if (m_server->m_disconnected)
            return RPC_E_DISCONNECTED;
        if (!found)
            return DISP_E_UNKNOWNNAME;
        ids[0] = Encode(*found, members[*found]);
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME; // named parameters are not offered
    }

    HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argError)
    {
        m_server->Touch();
        const auto members = MembersOf(m_kind);
        const auto index = Decode(id, members);
        if (!index || !params)
            return DISP_E_MEMBERNOTFOUND;
        const Member& member = members[*index];
        if (m_server->Busy())
            return RPC_E_CALL_REJECTED;
        m_server->HangIfDue(ui::ToUtf8(member.name));

        CallRecord record{m_kind, ui::ToUtf8(member.name), InvokeName(flags), {}};
        for (UINT i = params->cArgs; i > 0; --i)
            record.args.push_back(ArgumentType(params->rgvarg[i - 1]));
        m_server->m_callLog.push_back(std::move(record));

        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        const bool putNamed =
            params->cNamedArgs == 1 && params->rgdispidNamedArgs && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        const bool canGet = member.access != Access::Put && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
        const bool canPut = (member.access == Access::Put || member.access == Access::GetPut) && put && putNamed;
        if (!canGet && !canPut)
            return DISP_E_MEMBERNOTFOUND;
        if (!canPut && params->cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        if (params->cArgs != member.argc + (canPut ? 1 : 0))
            return DISP_E_BADPARAMCOUNT;

        if (result)
            VariantInit(result);
        try
        {
            const Args args(*params, *m_server);
            Answer answer(canPut ? nullptr : result, *m_server);
            member.handler(*m_object, args, answer, canPut);
            return S_OK;
        }
        catch (const ArgumentRefused& refused)
        {
            if (argError)
                *argError = static_cast<UINT>(params->cArgs - 1 - refused.index);
            return DISP_E_TYPEMISMATCH;
        }
        catch (const host::Error& error)
        {
            if (error.Code() == host::kRpcDisconnected)
            {
                m_server->m_disconnected = true;
                return RPC_E_DISCONNECTED;
            }
            if (error.Code() == kMemberNotFound)
                return DISP_E_MEMBERNOTFOUND;
            return Raise(exception, error.Code(), error.what());
        }
        catch (const std::bad_alloc&)
        {
            return E_OUTOFMEMORY;
        }
        catch (const std::exception& error)
        {
            return Raise(exception, E_UNEXPECTED, error.what());
        }
    }

    HRESULT Raise(EXCEPINFO* exception, HRESULT code, const char* text) const
    {
        if (exception)
        {
            *exception = EXCEPINFO{};
            exception->scode = code;
            t_pendingDescription = ui::FromUtf8(text);
            if (m_server->m_failureText == FailureText::Deferred)
                exception->pfnDeferredFillIn = FillInException;
            else
                FillInException(exception);
        }
        return DISP_E_EXCEPTION;
    }

    static bool KeepsItsNumber(const Member& member)
    {
        return CompareStringOrdinal(member.name, -1, L"GetType", -1, FALSE) == CSTR_EQUAL;
    }

    /// DISPID 0 is the default member, which no kind has: members count from 1, shifted by the document type.
    DISPID Encode(std::size_t index, const Member& member) const
    {
        return static_cast<DISPID>(index + 1) + (KeepsItsNumber(member) ? 0 : m_shift);
    }
    std::optional<std::size_t> Decode(DISPID id, std::span<const Member> members) const
    {
        for (const DISPID shift : {m_shift, DISPID{0}})
        {
            const DISPID unshifted = id - shift;
            if (unshifted < 1 || static_cast<std::size_t>(unshifted) > members.size())
                continue;
            const std::size_t index = static_cast<std::size_t>(unshifted - 1);
            if (Encode(index, members[index]) == id)
                return index;
        }
        return std::nullopt;
    }

    std::shared_ptr<DispatchServer> m_server;
    std::shared_ptr<host::HostObject> m_object;
    Kind m_kind;
    std::string m_lookupKind; ///< the kind the lookups are counted under: a document's own type
    DISPID m_shift = 0;
};

const char* KindName(Kind kind)
{
    switch (kind)
    {
    case Kind::Application:
        return host::kind::kApplication;
    case Kind::Frame:
        return host::kind::kFrame;
    case Kind::Document:
        return host::kind::kDocument;
    case Kind::Sheet:
        return host::kind::kSheet;
    case Kind::View:
        return host::kind::kView;
    case Kind::Symbol:
        return host::kind::kSymbol;
    case Kind::Annotation:
        return host::kind::kAnnotation;
    case Kind::Note:
        return host::kind::kNote;
    case Kind::TextFormat:
        return host::kind::kTextFormat;
    case Kind::Extension:
        return host::kind::kExtension;
    case Kind::SelectionManager:
        return host::kind::kSelectionManager;
    case Kind::PropertyManager:
        return host::kind::kPropertyManager;
    case Kind::FeatureManager:
        return host::kind::kFeatureManager;
    }
    return "?";
}

std::shared_ptr<DispatchServer> DispatchServer::Create(std::shared_ptr<host::sim::SimSession> session,
                                                       FailureText failureText)
{
    return std::shared_ptr<DispatchServer>(new DispatchServer(std::move(session), failureText));
}

DispatchServer::DispatchServer(std::shared_ptr<host::sim::SimSession> session, FailureText failureText)
    : m_session(std::move(session)), m_failureText(failureText), m_lastActivity(std::chrono::steady_clock::now())
{
    // Busy faults are served here in real time; the session must not refuse calls by its own account.
    m_session->SetBusyLimit(std::numeric_limits<std::int32_t>::max());
}

bool DispatchServer::Busy()
{
    const auto now = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < m_session->Model().faults.size(); ++i)
    {
        const auto& fault = m_session->Model().faults[i];
        if (fault.effect != host::sim::FaultEffect::kBusy || m_session->TotalCalls() < fault.afterCalls)
            continue;
        const auto [start, isNew] = m_busySince.try_emplace(i, now);
        if (now - start->second < std::chrono::duration<double>(fault.seconds))
        {
            ++m_refused;
            return true;
        }
    }
    return false;
}

void DispatchServer::HangIfDue(const std::string& member)
{
    const std::int64_t occurrence = m_session->CallCount(member) + 1;
    for (const auto& fault : m_session->Model().faults)
    {
        if (fault.effect != host::sim::FaultEffect::kHang || fault.member != member || fault.occurrence != occurrence)
            continue;
        // A hung host serves nothing meanwhile: no message is dispatched. Only a stop ends the hang early.
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(fault.seconds);
        while (std::chrono::steady_clock::now() < end && !(m_stopAsked && m_stopAsked()))
            Sleep(20);
    }
}

ComPtr<IDispatch> DispatchServer::Application()
{
    return Wrap(m_session->Application(), Kind::Application);
}

ComPtr<IDispatch> DispatchServer::Wrap(std::shared_ptr<host::HostObject> object, Kind kind)
{
    if (!object)
        return nullptr;
    return ComPtr<IDispatch>::Adopt(new DispatchObject(shared_from_this(), std::move(object), kind));
}

std::shared_ptr<host::HostObject> DispatchServer::Unwrap(IUnknown* object) const
{
    const auto found = m_live.find(object);
    return found == m_live.end() ? nullptr : found->second->HostObject();
}

void DispatchServer::DisconnectAll()
{
    if (m_heldAtStop < 0)
        m_heldAtStop = m_session->ObjectsHeldOutside();
    std::vector<ComPtr<IDispatch>> live;
    for (const auto& entry : m_live)
        live.push_back(ComPtr<IDispatch>::Share(entry.second));
    // Disconnecting drops the references the clients' proxies held, so objects may go while this runs.
    for (const auto& object : live)
        CoDisconnectObject(object.Get(), 0);
}

nlohmann::json DispatchServer::ComStats() const
{
    nlohmann::json byKind = nlohmann::json::object();
    for (const auto& [kind, members] : m_lookups)
        for (const auto& [member, count] : members)
            byKind[kind][member] = count;
    nlohmann::json log = nlohmann::json::array();
    for (const CallRecord& call : m_callLog)
        log.push_back(
            {{"kind", KindName(call.kind)}, {"member", call.member}, {"invoke", call.invoke}, {"args", call.args}});
    nlohmann::json stats = {{"lookups", {{"total", m_lookupTotal}, {"byKind", byKind}}}, {"callLog", log}};
    if (m_refused > 0)
        stats["refusedAsBusy"] = m_refused;
    if (!m_stopReason.empty())
        stats["stop"] = m_stopReason;
    if (m_heldAtStop >= 0)
        stats["objectsHeldByClients"] = m_heldAtStop;
    return stats;
}

std::string DispatchServer::SessionWithStats() const
{
    nlohmann::json session = nlohmann::json::parse(m_session->Serialize());
    const nlohmann::json stats = ComStats();
    for (const auto& [key, value] : stats.items())
        session["stats"][key] = value;
    return session.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace simhost
