// The COM owners counted, as WIL's tests count theirs: a host object in this process counts its references,
// and after every case, thrown ones included, only the test's own reference is left. A reference too many
// keeps an object alive in a host process that outlives us; one too few crashes it.
#include "host/com/com_connector.h"
#include "host/com/com_resources.h"
#include "host/com/dispatch.h"
#include "host/object_kinds.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

namespace
{

using host::com::ComPtr;
using host::com::Variant;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor" // COM interfaces have none; the test owns the object

/// A host object that counts its references and answers its members by name. It lives on the test's stack:
/// the last Release deletes nothing, so that a count gone wrong shows as a number, not as a crash.
class CountingDispatch final : public IDispatch
{
public:
    /// A member: the call's arguments (last first, as Invoke gets them) and where its answer goes.
    using Member = std::function<HRESULT(DISPPARAMS& params, VARIANT* result)>;

    std::map<std::wstring, Member> members;
    ULONG refs = 1; ///< the test's own reference

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch))
            return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override
    {
        DISPID next = 1;
        for (const auto& member : members)
        {
            if (member.first == names[0])
            {
                *id = next;
                return S_OK;
            }
            ++next;
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        auto member = members.begin();
        std::advance(member, id - 1);
        return member->second(*params, result);
    }
};

#pragma GCC diagnostic pop

/// A member answering object, with the reference an answer carries.
CountingDispatch::Member Answers(CountingDispatch& object)
{
    return [&object](DISPPARAMS&, VARIANT* result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = &object;
        object.AddRef();
        return S_OK;
    };
}

HRESULT AnswerTrue(VARIANT* result)
{
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_TRUE;
    return S_OK;
}

struct Case
{
    const char* name;
    std::function<void(CountingDispatch& object, CountingDispatch& other)> body;
};

TEST(ComOwners, EveryReferenceTakenIsGivenBackOnce)
{
    const Case cases[] = {
        {"Adopt takes the caller's reference over",
         [](CountingDispatch& o, CountingDispatch&) {
             o.AddRef();
             const auto p = ComPtr<IDispatch>::Adopt(&o);
             EXPECT_EQ(o.refs, 2u);
         }},
        {"Share adds one; a copy adds one, a move none",
         [](CountingDispatch& o, CountingDispatch&) {
             auto p = ComPtr<IDispatch>::Share(&o);
             const auto copy = p;
             const auto moved = std::move(p);
             EXPECT_EQ(o.refs, 3u);
             EXPECT_FALSE(p);
         }},
        {"assignment gives the old object back",
         [](CountingDispatch& o, CountingDispatch& other) {
             auto p = ComPtr<IDispatch>::Share(&o);
             p = ComPtr<IDispatch>::Share(&other);
             EXPECT_EQ(o.refs, 1u);
             EXPECT_EQ(other.refs, 2u);
         }},
        {"Put gives back first",
         [](CountingDispatch& o, CountingDispatch&) {
             auto p = ComPtr<IDispatch>::Share(&o);
             IDispatch** slot = p.Put();
             EXPECT_EQ(*slot, nullptr);
             EXPECT_EQ(o.refs, 1u);
         }},
        {"Detach hands the reference to the caller",
         [](CountingDispatch& o, CountingDispatch&) {
             IDispatch* raw = ComPtr<IDispatch>::Share(&o).Detach();
             EXPECT_EQ(o.refs, 2u);
             raw->Release();
         }},
        {"Query adds one; a refused interface none",
         [](CountingDispatch& o, CountingDispatch&) {
             const auto p = ComPtr<IDispatch>::Share(&o);
             ComPtr<IUnknown> unknown;
             EXPECT_EQ(p.Query(IID_IUnknown, unknown), S_OK);
             EXPECT_EQ(o.refs, 3u);
             ComPtr<IStream> stream;
             EXPECT_EQ(p.Query(IID_IStream, stream), E_NOINTERFACE);
             EXPECT_EQ(o.refs, 3u);
         }},
        {"a VARIANT holds one, Put clears first, a move carries it",
         [](CountingDispatch& o, CountingDispatch& other) {
             Variant v = Variant::Dispatch(ComPtr<IDispatch>::Share(&o));
             EXPECT_EQ(o.refs, 2u);
             Variant moved = std::move(v);
             moved = Variant::Dispatch(ComPtr<IDispatch>::Share(&other));
             (void)v.Put();
             EXPECT_EQ(o.refs, 1u);
             EXPECT_EQ(other.refs, 2u);
         }},
        {"a detached VARIANT is the caller's to clear",
         [](CountingDispatch& o, CountingDispatch&) {
             VARIANT raw = Variant::Dispatch(ComPtr<IDispatch>::Share(&o)).Detach();
             EXPECT_EQ(o.refs, 2u);
             VariantClear(&raw);
         }},
        {"a throw gives back every owner on the way",
         [](CountingDispatch& o, CountingDispatch&) {
             EXPECT_THROW(
                 {
                     const auto p = ComPtr<IDispatch>::Share(&o);
                     const Variant v = Variant::Dispatch(p);
                     throw std::runtime_error("failure");
                 },
                 std::runtime_error);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CountingDispatch object;
        CountingDispatch other;
        c.body(object, other);
        EXPECT_EQ(object.refs, 1u);
        EXPECT_EQ(other.refs, 1u);
    }
}

TEST(ComOwners, ArgumentsAndAnswersOfACallAreGivenBackWhateverTheCallDoes)
{
    host::com::ComApartment apartment;
    CountingDispatch argument;
    CountingDispatch answer;
    CountingDispatch host;
    host.members[L"Take"] = [&argument](DISPPARAMS& params, VARIANT* result) {
        EXPECT_EQ(params.rgvarg[0].pdispVal, &argument);
        EXPECT_EQ(argument.refs, 2u); // the test's and the argument's
        return AnswerTrue(result);
    };
    host.members[L"Refuse"] = [](DISPPARAMS&, VARIANT*) { return DISP_E_TYPEMISMATCH; };
    host.members[L"Answer"] = Answers(answer);
    {
        host::com::Dispatch dispatch(ComPtr<IDispatch>::Share(&host), host::kind::kApplication,
                                     std::make_shared<host::com::DispIdCache>());
        const auto withArgument = [&](const char* member) {
            return dispatch.Call(member, Variant::I2(1), Variant::Dispatch(ComPtr<IDispatch>::Share(&argument)));
        };
        EXPECT_TRUE(withArgument("Take").Bool());
        EXPECT_THROW(withArgument("Refuse"), host::Error);
        EXPECT_THROW(withArgument("Unknown"), host::Error); // the lookup fails before the call
        EXPECT_EQ(argument.refs, 1u);
        {
            const host::com::Result result = dispatch.Call("Answer");
            const ComPtr<IDispatch> object = result.Object();
            EXPECT_EQ(answer.refs, 3u); // the test's, the answer's and the object's
        }
        EXPECT_EQ(host.refs, 2u);
    }
    EXPECT_EQ(argument.refs, 1u);
    EXPECT_EQ(answer.refs, 1u);
    EXPECT_EQ(host.refs, 1u);
}

// A text format goes back to the host by reference: the host may put another object into the variable, and
// gives the one it replaced back.
TEST(ComOwners, TextFormatHandedByReferenceIsGivenBackWhateverTheHostDoes)
{
    host::com::ComApartment apartment;
    CountingDispatch application;
    CountingDispatch document;
    CountingDispatch note;
    CountingDispatch annotation;
    CountingDispatch format;
    CountingDispatch replacement;
    application.members[L"ActiveDoc"] = Answers(document);
    document.members[L"InsertNote"] = Answers(note);
    // Asked first: a document's members are looked up under its type.
    document.members[L"GetType"] = [](DISPPARAMS&, VARIANT* result) {
        result->vt = VT_I4;
        result->lVal = host::kDrawing;
        return S_OK;
    };
    note.members[L"GetTextFormat"] = Answers(format);
    note.members[L"GetAnnotation"] = Answers(annotation);

    using SetFormat = std::function<HRESULT(IDispatch*&, VARIANT*)>;
    const std::pair<const char*, SetFormat> hosts[] = {
        {"keeps it", [](IDispatch*&, VARIANT* result) { return AnswerTrue(result); }},
        {"fails", [](IDispatch*&, VARIANT*) { return E_FAIL; }},
        {"puts another format in",
         [&replacement](IDispatch*& variable, VARIANT* result) {
             variable->Release();
             variable = &replacement;
             replacement.AddRef();
             return AnswerTrue(result);
         }},
        {"puts nothing in",
         [](IDispatch*& variable, VARIANT* result) {
             variable->Release();
             variable = nullptr;
             return AnswerTrue(result);
         }},
    };
    for (const auto& [what, setFormat] : hosts)
    {
        SCOPED_TRACE(what);
        const auto member = [&setFormat](DISPPARAMS& params, VARIANT* result) {
            VARIANT& variable = params.rgvarg[0]; // the last argument
            EXPECT_EQ(variable.vt, VT_BYREF | VT_DISPATCH);
            return setFormat(*variable.ppdispVal, result);
        };
        note.members[L"SetTextFormat"] = member;
        annotation.members[L"SetTextFormat"] = member;
        {
            host::com::ComConnector connector;
            const auto app = connector.Attach(ComPtr<IDispatch>::Share(&application));
            const auto noteObject = host::Require(app->ActiveDoc(), "ActiveDoc")->InsertNote(L"(");
            const auto textFormat = noteObject->GetTextFormat();
            const auto set = [failing = std::string(what) == "fails"](auto&& call) {
                if (failing)
                    EXPECT_THROW(call(), host::Error);
                else
                    EXPECT_TRUE(call());
            };
            set([&] { return noteObject->SetTextFormat(0, textFormat); });
            const auto annotationObject = noteObject->GetAnnotation();
            set([&] { return annotationObject->SetTextFormat(0, true, textFormat); });
            EXPECT_EQ(format.refs, 2u); // the test's and the adapter's
        }
        for (const CountingDispatch* object : {&application, &document, &note, &annotation, &format, &replacement})
            EXPECT_EQ(object->refs, 1u);
    }
}

} // namespace
