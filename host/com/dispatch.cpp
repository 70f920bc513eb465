#include "host/com/dispatch.h"

#include "host/com/variant_types.h"
#include "ui/conversions.h"

#include <chrono>
#include <cstdio>

namespace host::com
{

namespace
{

std::wstring Widen(const char* ascii)
{
    std::wstring wide;
    for (const char* c = ascii; *c != '\0'; ++c)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return wide;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

/// The VARIANTs of a DISPPARAMS, last argument first as Invoke wants them; cleared when it goes.
class ReversedArgs
{
public:
    explicit ReversedArgs(std::vector<Variant> args)
    {
        m_raw.reserve(args.size());
        for (auto it = args.rbegin(); it != args.rend(); ++it)
            m_raw.push_back(it->Detach());
    }
    ReversedArgs(const ReversedArgs&) = delete;
    ReversedArgs& operator=(const ReversedArgs&) = delete;
    ~ReversedArgs()
    {
        for (VARIANT& v : m_raw)
            VariantClear(&v);
    }

    VARIANT* Data() { return m_raw.empty() ? nullptr : m_raw.data(); }
    UINT Count() const { return static_cast<UINT>(m_raw.size()); }

private:
    std::vector<VARIANT> m_raw;
};

/// Sends one round trip into the host (send answers its HRESULT) and, when somebody observes the connection,
/// tells them about it as call describes it, with the answer, the host's description of a failure
/// (describe, asked only for DISP_E_EXCEPTION) and how long it took. Every lookup and call goes through here.
template <typename Send, typename Describe>
HRESULT RoundTrip(host::CallObserver* observer, host::HostCall& call, Send&& send, Describe&& describe)
{
    if (!observer)
        return send();
    call.started = std::chrono::steady_clock::now();
    const HRESULT hr = send();
    call.duration = std::chrono::steady_clock::now() - call.started;
    call.hr = hr;
    if (hr == DISP_E_EXCEPTION)
        call.text = ui::ToUtf8(describe());
    observer->HostCalled(call);
    return hr;
}

std::wstring NoDescription()
{
    return {};
}

/// True for an object served by this process. A proxy to another process answers IClientSecurity; an
/// object of this process does not.
bool InThisProcess(IDispatch& object)
{
    IClientSecurity* security = nullptr;
    if (SUCCEEDED(object.QueryInterface(IID_IClientSecurity, reinterpret_cast<void**>(&security))) && security)
    {
        security->Release();
        return false;
    }
    return true;
}

/// A one-dimensional array whose elements are of the type its VARIANT names: a VARIANT claiming VT_R8
/// elements over an array of something else would be read out of bounds.
bool HoldsItsType(const VARIANT& v)
{
    VARTYPE elements = VT_EMPTY;
    return v.parray && SafeArrayGetDim(v.parray) == 1 && SUCCEEDED(SafeArrayGetVartype(v.parray, &elements)) &&
           elements == (v.vt & VT_TYPEMASK);
}

} // namespace

HRESULT ExceptionCode(const EXCEPINFO& info)
{
    if (FAILED(info.scode))
        return info.scode;
    if (info.wCode != 0)
        return static_cast<HRESULT>(0x800A0000u | info.wCode);
    return DISP_E_EXCEPTION;
}

host::Error ComFailure(HRESULT hr, const char* member, const std::wstring& description)
{
    std::string detail = "HRESULT " + Hex(hr);
    if (!description.empty())
        detail += ": " + ui::ToUtf8(description);
    return host::Error(hr, member, detail);
}

DISPID DispIdCache::Find(IDispatch& object, const char* kind, const char* member)
{
    auto [entry, isNew] = m_entries.try_emplace({kind, member});
    if (isNew)
    {
        std::wstring name = Widen(member);
        LPOLESTR names[] = {name.data()};
        ++m_lookups;
        host::HostCall lookup{kind, member, true};
        const HRESULT hr = m_guard.Repeated([&] {
            return RoundTrip(
                m_observer, lookup,
                [&] {
                    const HRESULT answer =
                        object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &entry->second.id);
                    if (SUCCEEDED(answer))
                        lookup.dispid = entry->second.id;
                    return answer;
                },
                NoDescription);
        });
        if (FAILED(hr))
        {
            // Only a member the object does not have is remembered as failed: a lookup that failed because
            // the host has gone is no answer about the member.
            if (hr != DISP_E_UNKNOWNNAME && hr != DISP_E_MEMBERNOTFOUND)
            {
                m_entries.erase(entry);
                throw ComFailure(hr, member, L"the name cannot be looked up");
            }
            entry->second.result = hr;
        }
    }
    if (FAILED(entry->second.result))
    {
        std::wstring text = L"no such member of the host's ";
        throw ComFailure(entry->second.result, member, text.append(Widen(kind)));
    }
    return entry->second.id;
}

Result Dispatch::Invoke(const char* member, WORD flags, std::vector<Variant> args)
{
    if (!m_object)
        throw host::Error(host::kNoObject, member, "called on no object");
    const DISPID id = m_cache->Find(*m_object.Get(), m_kind, member);

    ReversedArgs reversed(std::move(args));
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.Data(), nullptr, reversed.Count(), 0};
    if (flags == DISPATCH_PROPERTYPUT)
    {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    ExcepInfo exception;
    UINT argError = 0;
    const auto text = [](BSTR raw) { return raw ? std::wstring(raw, SysStringLen(raw)) : std::wstring(); };
    // A deferred fill-in is an address in the server's process: only an object of ours may run it.
    const auto filled = [&]() -> const EXCEPINFO& { return exception.Fill(InThisProcess(*m_object.Get())); };
    host::HostCall call{m_kind, member};
    if (m_cache->Observer())
    {
        call.dispid = id;
        call.flags = flags;
        for (UINT i = reversed.Count(); i > 0; --i)
            call.args.push_back(ArgumentType(reversed.Data()[i - 1]));
    }
    HRESULT hr = m_cache->Guard().Repeated([&] {
        return RoundTrip(
            m_cache->Observer(), call,
            [&] {
                return m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                        flags == DISPATCH_PROPERTYPUT ? nullptr : result.Put(), exception.Put(),
                                        &argError);
            },
            [&] { return text(filled().bstrDescription); });
    });
    if (FAILED(hr))
    {
        std::wstring description;
        if (hr == DISP_E_EXCEPTION)
        {
            const EXCEPINFO& info = filled();
            description = text(info.bstrDescription);
            if (!text(info.bstrSource).empty())
                description = text(info.bstrSource) + L": " + description;
            hr = ExceptionCode(info);
        }
        else if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND)
        {
            // argError counts from the last argument, as rgvarg does.
            description = L"argument " + std::to_wstring(params.cArgs - argError) + L" refused";
        }
        throw ComFailure(hr, member, description);
    }
    return Result(std::move(result), member);
}

Variant Result::Coerced(VARTYPE type) const
{
    Variant converted;
    // VariantChangeType reads its source without changing it, though it is not declared const.
    const HRESULT hr = VariantChangeType(converted.Put(), const_cast<VARIANT*>(&m_value.Get()), 0, type);
    if (FAILED(hr))
        throw ComFailure(DISP_E_TYPEMISMATCH, m_member, L"answer of VARIANT type " + std::to_wstring(m_value.Type()));
    return converted;
}

void Result::Mismatch(const char* expected) const
{
    throw ComFailure(DISP_E_TYPEMISMATCH, m_member,
                     L"expected " + Widen(expected) + L", answered VARIANT type " + std::to_wstring(m_value.Type()));
}

bool Result::Bool() const
{
    return Coerced(VT_BOOL).Get().boolVal != VARIANT_FALSE;
}

std::int16_t Result::I2() const
{
    return Coerced(VT_I2).Get().iVal;
}

std::int32_t Result::I4() const
{
    return Coerced(VT_I4).Get().lVal;
}

double Result::R8() const
{
    return Coerced(VT_R8).Get().dblVal;
}

std::wstring Result::Text() const
{
    const VARTYPE type = m_value.Type();
    if (type == VT_EMPTY || type == VT_NULL)
        return {};
    const Variant text = Coerced(VT_BSTR);
    const BSTR raw = text.Get().bstrVal;
    return raw ? std::wstring(raw, SysStringLen(raw)) : std::wstring();
}

host::OptionalText Result::OptionalText() const
{
    const VARTYPE type = m_value.Type();
    if (type == VT_EMPTY || type == VT_NULL)
        return std::nullopt;
    return Text();
}

ComPtr<IDispatch> Result::Object() const
{
    const VARIANT& v = m_value.Get();
    switch (v.vt)
    {
    case VT_EMPTY:
    case VT_NULL:
        return nullptr;
    case VT_DISPATCH:
        return ComPtr<IDispatch>::Share(v.pdispVal);
    case VT_UNKNOWN: {
        if (!v.punkVal)
            return nullptr;
        ComPtr<IDispatch> object;
        const HRESULT hr = ComPtr<IUnknown>::Share(v.punkVal).Query(IID_IDispatch, object);
        if (FAILED(hr))
            throw ComFailure(hr, m_member, L"the object answered has no IDispatch");
        return object;
    }
    default:
        Mismatch("an object");
    }
}

std::vector<double> Result::Doubles() const
{
    const VARIANT& v = m_value.Get();
    if (v.vt == VT_EMPTY || v.vt == VT_NULL)
        return {};
    if ((v.vt != (VT_ARRAY | VT_R8) && v.vt != (VT_ARRAY | VT_VARIANT)) || !HoldsItsType(v))
        Mismatch("an array of numbers");
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    std::vector<double> values;
    for (LONG i = lower; i <= upper; ++i)
    {
        HRESULT hr = S_OK;
        double value = 0;
        if (v.vt == (VT_ARRAY | VT_R8))
            hr = SafeArrayGetElement(v.parray, &i, &value);
        else
        {
            Variant element;
            hr = SafeArrayGetElement(v.parray, &i, element.Put());
            if (SUCCEEDED(hr))
                value = Result(std::move(element), m_member).R8();
        }
        if (FAILED(hr))
            throw ComFailure(hr, m_member, L"an element of the array cannot be read");
        values.push_back(value);
    }
    return values;
}

std::vector<Variant> Result::VariantElements(const char* expected) const
{
    const VARIANT& v = m_value.Get();
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !HoldsItsType(v))
        Mismatch(expected);
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(v.parray, 1, &lower)) || FAILED(SafeArrayGetUBound(v.parray, 1, &upper)))
        Mismatch(expected);
    std::vector<Variant> elements;
    for (LONG i = lower; i <= upper; ++i)
    {
        Variant element;
        const HRESULT hr = SafeArrayGetElement(v.parray, &i, element.Put());
        if (FAILED(hr))
            throw ComFailure(hr, m_member, L"an element of the array cannot be read");
        elements.push_back(std::move(element));
    }
    return elements;
}

std::vector<std::vector<ComPtr<IDispatch>>> Result::ObjectArrays() const
{
    const VARTYPE type = m_value.Type();
    if (type == VT_EMPTY || type == VT_NULL)
        return {};
    constexpr const char* kExpected = "an array of arrays of objects";
    std::vector<std::vector<ComPtr<IDispatch>>> arrays;
    for (Variant& inner : VariantElements(kExpected))
    {
        std::vector<ComPtr<IDispatch>> objects;
        for (Variant& element : Result(std::move(inner), m_member).VariantElements(kExpected))
        {
            const Result item(std::move(element), m_member);
            ComPtr<IDispatch> object = item.Object();
            if (!object)
                item.Mismatch("an object");
            objects.push_back(std::move(object));
        }
        arrays.push_back(std::move(objects));
    }
    return arrays;
}

} // namespace host::com
