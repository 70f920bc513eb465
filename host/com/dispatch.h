// Calling a host object's members by name through IDispatch.
//
// Every call into the host is one round trip into another process. A member's name is looked up (one more
// round trip) once per kind of object for the whole run and kept in the connection's DispIdCache: all
// objects of a kind answer the same member table. A drawing, a part and an assembly are different kinds: a
// host may number their members differently.
//
// Calls go out as Visual Basic late binding sends them, the form automation hosts are used to: a call whose
// result is used as DISPATCH_METHOD | DISPATCH_PROPERTYGET (so a member our notes file as a method works
// when the host's type library makes it a property, and the other way round), a call whose result is
// ignored as DISPATCH_METHOD, a property write as DISPATCH_PROPERTYPUT.
//
// Every round trip, lookup or call, leaves for the host in one place (dispatch.cpp's RoundTrip), which the
// connection's CallGuard repeats while the host is busy, and which tells the connection's call observer,
// when there is one, what was sent and what came back: each try, refused ones too.
#pragma once

#include "host/cad_host.h"
#include "host/call_log.h"
#include "host/com/call_guard.h"
#include "host/com/com_resources.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace host::com
{

/// The DISPIDs of one connection, by object kind and member name, the guard every call of the connection
/// passes, and who hears its round trips.
class DispIdCache
{
public:
    CallGuard& Guard() { return m_guard; }
    /// Every lookup and call from now on is told to observer; nothing: no longer.
    void ObserveCalls(host::CallObserver* observer) { m_observer = observer; }
    host::CallObserver* Observer() const { return m_observer; }

    /// The DISPID of member on object, which is of kind; asks object only the first time for this kind and
    /// member. An unknown member stays unknown without being asked for again. Throws host::Error.
    DISPID Find(IDispatch& object, const char* kind, const char* member);

    /// Lookups sent to the host so far.
    std::int64_t Lookups() const { return m_lookups; }

private:
    struct Entry
    {
        HRESULT result = S_OK;
        DISPID id = DISPID_UNKNOWN;
    };

    std::map<std::pair<std::string, std::string>, Entry> m_entries;
    std::int64_t m_lookups = 0;
    host::CallObserver* m_observer = nullptr;
    CallGuard m_guard;
};

/// A host member's answer, converted to what the typed interface returns. Each conversion throws
/// host::Error (DISP_E_TYPEMISMATCH) for an answer of a type it cannot take.
class Result
{
public:
    Result(Variant value, const char* member) : m_value(std::move(value)), m_member(member) {}

    const Variant& Value() const { return m_value; }

    bool Bool() const;
    std::int16_t I2() const;
    std::int32_t I4() const;
    double R8() const;
    /// VT_EMPTY and VT_NULL are the empty text.
    std::wstring Text() const;
    /// VT_EMPTY and VT_NULL are no text at all.
    host::OptionalText OptionalText() const;
    /// VT_DISPATCH, or VT_UNKNOWN asked for IDispatch; VT_EMPTY, VT_NULL and a null pointer are nothing.
    ComPtr<IDispatch> Object() const;
    /// VT_ARRAY of VT_R8, or of VT_VARIANT each holding a number; VT_EMPTY and VT_NULL are no elements. The
    /// array's own element type is checked against its VARIANT type before anything is read.
    std::vector<double> Doubles() const;
    /// VT_ARRAY of VT_VARIANT whose elements are VT_ARRAY of VT_VARIANT, each element of those an object (as
    /// Object() takes it, but never nothing); VT_EMPTY and VT_NULL are no arrays. Every object is checked
    /// before any is handed out, and each holds its own reference.
    std::vector<std::vector<ComPtr<IDispatch>>> ObjectArrays() const;

private:
    /// The elements of a one-dimensional VT_ARRAY of VT_VARIANT, each copied into a VARIANT of its own.
    std::vector<Variant> VariantElements(const char* expected) const;
    Variant Coerced(VARTYPE type) const;
    [[noreturn]] void Mismatch(const char* expected) const;

    Variant m_value;
    const char* m_member;
};

/// One host object: its IDispatch, its kind (for the DISPID cache) and the connection's cache.
class Dispatch
{
public:
    Dispatch(ComPtr<IDispatch> object, const char* kind, std::shared_ptr<DispIdCache> cache)
        : m_object(std::move(object)), m_kind(kind), m_cache(std::move(cache))
    {
    }

    /// A call whose result is used, method or property get alike; arguments in the member's own order.
    template <typename... Args> Result Call(const char* member, Args&&... args)
    {
        return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, List(std::forward<Args>(args)...));
    }
    /// A call whose result the program ignores: DISPATCH_METHOD. Its answer is still handed back.
    template <typename... Args> Result Send(const char* member, Args&&... args)
    {
        return Invoke(member, DISPATCH_METHOD, List(std::forward<Args>(args)...));
    }
    /// DISPATCH_PROPERTYPUT, the value named DISPID_PROPERTYPUT.
    void Put(const char* member, Variant value) { Invoke(member, DISPATCH_PROPERTYPUT, List(std::move(value))); }

    /// Another host object of this connection.
    Dispatch Child(ComPtr<IDispatch> object, const char* kind) const
    {
        return Dispatch(std::move(object), kind, m_cache);
    }

    IDispatch* Object() const { return m_object.Get(); }
    const char* Kind() const { return m_kind; }
    /// Once the object's kind is known (a document's type): its members are looked up under kind from now on.
    void SetKind(const char* kind) { m_kind = kind; }

private:
    template <typename... Args> static std::vector<Variant> List(Args&&... args)
    {
        std::vector<Variant> list;
        list.reserve(sizeof...(Args));
        (list.push_back(std::forward<Args>(args)), ...);
        return list;
    }

    Result Invoke(const char* member, WORD flags, std::vector<Variant> args);

    ComPtr<IDispatch> m_object;
    const char* m_kind;
    std::shared_ptr<DispIdCache> m_cache;
};

/// The host::Error for a failed COM call: the HRESULT, and in the text the member, the code in hex and
/// whatever description came with it.
host::Error ComFailure(HRESULT hr, const char* member, const std::wstring& description = {});

/// The code of a DISP_E_EXCEPTION as Visual Basic's Err.Number reports it: the EXCEPINFO's scode, or its
/// wCode as 0x800A0000 | wCode; DISP_E_EXCEPTION itself when the server gave neither.
HRESULT ExceptionCode(const EXCEPINFO& info);

} // namespace host::com
