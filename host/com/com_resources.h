// Owners of the COM resources the host adapter and the COM server hold: interface pointers, BSTRs,
// VARIANTs, SAFEARRAYs, the strings of an EXCEPINFO, and the apartment itself. Each frees what it owns
// exactly once, so that no path (an exception in the middle of a call included) leaks a reference into a
// host process that outlives us. Modelled on WIL's com_ptr, unique_bstr and unique_variant, which
// mingw-w64 does not have.
#pragma once

#include "host/host_error.h"
#include "win32/win32.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host::com
{

/// One reference to a COM interface. Adopt takes over a reference the caller owns; Share adds one.
template <typename T> class ComPtr
{
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p) { AddRefIfAny(); }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { Reset(); }

    static ComPtr Adopt(T* raw) noexcept
    {
        ComPtr result;
        result.m_p = raw;
        return result;
    }
    static ComPtr Share(T* raw) noexcept
    {
        ComPtr result;
        result.m_p = raw;
        result.AddRefIfAny();
        return result;
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    /// For out parameters: releases what is held first.
    T** Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void Reset() noexcept
    {
        if (T* old = std::exchange(m_p, nullptr))
            old->Release();
    }
    /// Hands the reference to the caller.
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    /// QueryInterface for U; a failure leaves out empty and is returned.
    template <typename U> HRESULT Query(REFIID iid, ComPtr<U>& out) const noexcept
    {
        out.Reset();
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(iid, reinterpret_cast<void**>(out.Put()));
    }

private:
    void AddRefIfAny() noexcept
    {
        if (m_p)
            m_p->AddRef();
    }

    T* m_p = nullptr;
};

/// A BSTR. A null BSTR is the empty text, as COM treats it.
class Bstr
{
public:
    Bstr() noexcept = default;
    explicit Bstr(std::wstring_view text)
    {
        m_b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!m_b)
            throw std::bad_alloc();
    }
    Bstr(Bstr&& other) noexcept : m_b(std::exchange(other.m_b, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept
    {
        std::swap(m_b, other.m_b);
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(m_b); }

    static Bstr Adopt(BSTR raw) noexcept
    {
        Bstr result;
        result.m_b = raw;
        return result;
    }

    BSTR Get() const noexcept { return m_b; }
    /// For out parameters: frees what is held first.
    BSTR* Put() noexcept
    {
        SysFreeString(std::exchange(m_b, nullptr));
        return &m_b;
    }
    BSTR Detach() noexcept { return std::exchange(m_b, nullptr); }

    std::wstring Text() const { return m_b ? std::wstring(m_b, SysStringLen(m_b)) : std::wstring(); }

private:
    BSTR m_b = nullptr;
};

/// A SAFEARRAY, destroyed with its elements.
class SafeArray
{
public:
    SafeArray() noexcept = default;
    SafeArray(SafeArray&& other) noexcept : m_a(std::exchange(other.m_a, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept
    {
        std::swap(m_a, other.m_a);
        return *this;
    }
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray()
    {
        if (m_a)
            SafeArrayDestroy(m_a);
    }

    /// One-dimensional arrays with lower bound 0.
    static SafeArray OfI4(const std::vector<std::int32_t>& values) { return Of<LONG>(VT_I4, values); }
    static SafeArray OfR8(const std::vector<double>& values) { return Of<double>(VT_R8, values); }

    SAFEARRAY* Get() const noexcept { return m_a; }
    SAFEARRAY* Detach() noexcept { return std::exchange(m_a, nullptr); }

private:
    template <typename Element, typename T> static SafeArray Of(VARTYPE type, const std::vector<T>& values)
    {
        SafeArray result;
        result.m_a = SafeArrayCreateVector(type, 0, static_cast<ULONG>(values.size()));
        if (!result.m_a)
            throw std::bad_alloc();
        for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i)
        {
            Element value = values[static_cast<std::size_t>(i)];
            const HRESULT hr = SafeArrayPutElement(result.m_a, &i, &value);
            if (FAILED(hr))
                throw host::Error(hr, "SafeArrayPutElement", "the array cannot be filled");
        }
        return result;
    }

    SAFEARRAY* m_a = nullptr;
};

/// A VARIANT, cleared (its BSTR, array or interface released) when it goes. By-reference VARIANTs point
/// at storage their creator owns; clearing them frees nothing.
class Variant
{
public:
    Variant() noexcept { VariantInit(&m_v); }
    Variant(Variant&& other) noexcept : m_v(other.m_v) { VariantInit(&other.m_v); }
    Variant& operator=(Variant&& other) noexcept
    {
        std::swap(m_v, other.m_v);
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_v); }

    static Variant I2(std::int16_t value) noexcept
    {
        Variant v;
        v.m_v.vt = VT_I2;
        v.m_v.iVal = value;
        return v;
    }
    static Variant I4(std::int32_t value) noexcept
    {
        Variant v;
        v.m_v.vt = VT_I4;
        v.m_v.lVal = value;
        return v;
    }
    static Variant R8(double value) noexcept
    {
        Variant v;
        v.m_v.vt = VT_R8;
        v.m_v.dblVal = value;
        return v;
    }
    /// VARIANT_TRUE is -1, not 1: a host that compares with VARIANT_TRUE would take 1 for false.
    static Variant Bool(bool value) noexcept
    {
        Variant v;
        v.m_v.vt = VT_BOOL;
        v.m_v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Variant Text(std::wstring_view text)
    {
        Variant v;
        v.m_v.bstrVal = Bstr(text).Detach();
        v.m_v.vt = VT_BSTR;
        return v;
    }
    /// VT_DISPATCH; a null object is "nothing".
    static Variant Dispatch(ComPtr<IDispatch> object) noexcept
    {
        Variant v;
        v.m_v.vt = VT_DISPATCH;
        v.m_v.pdispVal = object.Detach();
        return v;
    }
    static Variant Array(VARTYPE elementType, SafeArray array) noexcept
    {
        Variant v;
        v.m_v.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
        v.m_v.parray = array.Detach();
        return v;
    }
    /// VT_BYREF | type, pointing at the caller's variable (a LONG for VT_I4, a double for VT_R8, a BSTR for
    /// VT_BSTR, an IDispatch* for VT_DISPATCH), which must outlive the call.
    static Variant ByRef(VARTYPE type, void* target) noexcept
    {
        Variant v;
        v.m_v.vt = static_cast<VARTYPE>(VT_BYREF | type);
        v.m_v.byref = target;
        return v;
    }

    VARTYPE Type() const noexcept { return m_v.vt; }
    const VARIANT& Get() const noexcept { return m_v; }
    /// For out parameters: clears what is held first.
    VARIANT* Put() noexcept
    {
        VariantClear(&m_v);
        return &m_v;
    }
    /// Hands the VARIANT and what it owns to the caller.
    VARIANT Detach() noexcept
    {
        VARIANT raw = m_v;
        VariantInit(&m_v);
        return raw;
    }

private:
    VARIANT m_v;
};

/// The exception information of a failed Invoke: frees its three strings. Fill() runs a deferred fill-in
/// first, as a server may leave the texts to be made only when somebody reads them.
class ExcepInfo
{
public:
    ExcepInfo() noexcept = default;
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { Clear(); }

    EXCEPINFO* Put() noexcept
    {
        Clear();
        return &m_e;
    }
    /// runDeferred: the object that failed lives in this process, so its fill-in's address is one of ours.
    const EXCEPINFO& Fill(bool runDeferred) noexcept
    {
        const auto fillIn = std::exchange(m_e.pfnDeferredFillIn, nullptr);
        if (fillIn && runDeferred)
            fillIn(&m_e);
        return m_e;
    }

private:
    void Clear() noexcept
    {
        SysFreeString(m_e.bstrSource);
        SysFreeString(m_e.bstrDescription);
        SysFreeString(m_e.bstrHelpFile);
        m_e = EXCEPINFO{};
    }

    EXCEPINFO m_e{};
};

/// Runs the body of a COM method this program serves (simhost's objects; a message filter): what the body
/// answers, or an HRESULT for a failure of its own, which must never unwind into COM's stub or any other
/// caller that is no C++.
template <typename Body> HRESULT AnsweredAsHresult(Body&& body) noexcept
{
    try
    {
        return std::forward<Body>(body)();
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    catch (...)
    {
        return E_UNEXPECTED;
    }
}

// COM interfaces have no virtual destructor: an object is deleted only by its own last Release, as Derived.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

/// IUnknown of an object this program serves on one thread (simhost's objects, the message filter), which
/// offers Interface under Derived::InterfaceId() besides IUnknown. Made with one reference; the last Release
/// deletes it as Derived.
template <typename Derived, typename Interface> class SingleInterfaceObject : public Interface
{
public:
    SingleInterfaceObject(const SingleInterfaceObject&) = delete;
    SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, Derived::InterfaceId()))
        {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

protected:
    SingleInterfaceObject() = default;
    ~SingleInterfaceObject() = default;

private:
    ULONG m_refs = 1;
};

#pragma GCC diagnostic pop

/// The single-threaded apartment of the thread that creates it, for its lifetime. Every COM reference
/// must be released before it goes.
class ComApartment
{
public:
    ComApartment()
    {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr))
            throw host::Error(hr, "CoInitializeEx", "the thread cannot enter a single-threaded apartment");
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { CoUninitialize(); }
};

} // namespace host::com
