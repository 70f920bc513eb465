// The COM adapter against the simulated session served through IDispatch in this process: the same
// dispatch layer simhost.exe serves across processes, without the round trips.
#include "host/com/com_connector.h"
#include "host/object_kinds.h"
#include "host/sim/sim_connector.h"
#include "host/sw_access.h"
#include "tests/host/com_support.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/recording_call_observer.h"
#include "tools/simhost/dispatch_server.h"
#include "ui/error_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace
{

using host::com::ComPtr;
using host::com::Variant;

/// A session served through the dispatch layer, reached through a ComConnector as if it ran elsewhere.
struct Served : host::SessionConnector
{
    explicit Served(const std::string& sessionJson)
        : session(host::sim::SimSession::Parse(sessionJson)),
          server(simhost::DispatchServer::Create(session, simhost::FailureText::Deferred))
    {
    }

    host::ApplicationPtr GetActiveObject(const std::wstring&) override
    {
        return connector.Attach(server->Application());
    }
    void ObserveCalls(host::CallObserver* observer) override { connector.ObserveCalls(observer); }

    std::map<std::string, int> Signatures() const { return com_tests::Signatures(server->ComStats().at("callLog")); }

    host::com::ComApartment apartment;
    std::shared_ptr<host::sim::SimSession> session;
    std::shared_ptr<simhost::DispatchServer> server;
    host::com::ComConnector connector;
};

TEST(ComAdapter, WholeRunWritesWhatTheSimulatedSessionWrites)
{
    const std::string example = com_tests::Example("erster-lauf.json");
    const auto direct = host::sim::SimSession::Parse(example);
    host::sim::SimConnector directConnector(direct);
    testing_support::RecordingCallObserver directCalls;
    directConnector.ObserveCalls(&directCalls);
    com_tests::ProgramRun directRun(directConnector, com_tests::ScratchFolder("whole-run-direct"));

    Served served(example);
    testing_support::RecordingCallObserver comCalls;
    served.ObserveCalls(&comCalls);
    {
        com_tests::ProgramRun comRun(served, com_tests::ScratchFolder("whole-run-com"));
        EXPECT_EQ(comRun.form->RunEnding(), app::Ending::Ok);
        EXPECT_TRUE(comRun.messageWindow.shown.empty());
    }
    // The log of host calls hears the same lookups and calls, with the same argument types, either way; the
    // adapter's calls are the ones the server received, each with its DISPID and flags.
    EXPECT_EQ(comCalls.calls, directCalls.calls);
    std::size_t invoked = 0;
    for (const host::HostCall& call : comCalls.raw)
    {
        EXPECT_TRUE(call.dispid.has_value()) << call.member;
        EXPECT_NE(call.flags.has_value(), call.lookup) << call.member;
        invoked += call.lookup ? 0 : 1;
    }
    EXPECT_EQ(invoked, served.server->CallLog().size());

    // The same drawing, names, texts, fonts and selection, and the same calls by member.
    EXPECT_EQ(served.session->Serialize(), direct->Serialize());
    EXPECT_EQ(served.session->ObjectsHeldOutside(), 0);
    EXPECT_EQ(served.server->LiveObjects(), 0u);

    const auto stats = served.server->ComStats();
    EXPECT_EQ(com_tests::RepeatedLookups(stats.at("lookups")), std::vector<std::string>{});
    EXPECT_EQ(served.connector.Lookups(), served.server->Lookups());
    const auto signatures = served.Signatures();
    // Three symbols picked by value, the two bracket notes by reference.
    EXPECT_EQ(signatures.at("document.SelectByID method(VT_BSTR,VT_BSTR,VT_R8,VT_R8,VT_R8)"), 3);
    EXPECT_EQ(signatures.at("document.SelectByID method(VT_BSTR,VT_BSTR,VT_BYREF|VT_R8,VT_BYREF|VT_R8,VT_R8)"), 2);
    for (const auto& [signature, count] : signatures)
        EXPECT_NE(signature.rfind("unexpected", 0), 0u) << signature;
}

TEST(ComAdapter, EveryMemberCrossesWithTheTypesOfTheTypedInterface)
{
    Served served(com_tests::Example("zweiter-lauf.json"));
    {
        // The second run removes the first run's row: selections, deselection, deletion.
        com_tests::ProgramRun run(served, com_tests::ScratchFolder("every-member"));
        EXPECT_EQ(run.form->RunEnding(), app::Ending::Ok);

        // What a run does not call: the session access operations and the remaining members.
        testing_support::RecordingMessageWindow window;
        ui::ErrorObject cc(window);
        host::swAccess access(cc, served);
        access.Link(nullptr);
        access.GetDrawing(true);
        ASSERT_NE(access.Model, nullptr); // OpenDoc6 opened the model the view shows
        EXPECT_EQ(access.Model->GetType(), host::kPart);
        access.LockUI(true);
        access.LockUI(false);
        host::DocumentPtr document = access.ActiveDoc;
        EXPECT_EQ(document->GetPathName(), L"C:\\Zeichnungen\\Welle.SLDDRW");
        access.SetPropStr(L"Pr\u00fcfer", L"Kr\u00e4mer", L"", document);
        EXPECT_EQ(access.GetPropStr(L"Pr\u00fcfer", L"Standard", nullptr), L"Kr\u00e4mer");
        EXPECT_FALSE(cc.IsErr());

        auto& application = *access.swApp;
        EXPECT_EQ(application.GetExecutablePath(), L"C:\\Program Files\\CAD");
        EXPECT_EQ(application.GetCurrentMacroPathName(), L"");
        (void)host::Require(application.Frame(), "Frame")->GetHWnd();

        const auto drawing = access.Drawing;
        const auto format = host::Require(drawing->GetUserPreferenceTextFormat(5), "format");
        EXPECT_EQ(format->get_TypeFaceName(), L"Arial");
        EXPECT_NEAR(format->get_CharHeight(), 0.0035, 1e-12);
        EXPECT_EQ(format->get_CharHeightInPts(), 10);
        EXPECT_FALSE(format->get_Bold());

        auto symbol = host::Require(host::Require(drawing->GetFirstView(), "view")->GetFirstSFSymbol(), "symbol");
        EXPECT_EQ(symbol->GetText(9), std::nullopt);
        EXPECT_TRUE(symbol->SetText(9, std::nullopt));
        const auto annotation = host::Require(symbol->GetAnnotation(), "annotation");
        EXPECT_TRUE(annotation->Select2(false, 0));
        EXPECT_TRUE(annotation->Select2(true, 0));
        const auto selection = host::Require(drawing->SelectionManager(), "selection");
        EXPECT_EQ(selection->DeSelect2({1}, host::SelectionManager::kAnyMark), 1);
        EXPECT_EQ(host::Require(drawing->GetCurrentSheet(), "sheet")->GetProperties(),
                  (std::vector<double>{8, 8, 1, 1, 0, 0.42, 0.297}));
        const auto sheets = drawing->GetViews();
        ASSERT_EQ(sheets.size(), 1u);
        ASSERT_EQ(sheets[0].size(), 2u); // the sheet itself, then its view
        EXPECT_EQ(sheets[0][0]->GetName(), L"Blatt1");
        EXPECT_NE(sheets[0][1]->GetFirstSFSymbol(), nullptr);
    }

    std::set<std::string> seen;
    for (const auto& [signature, count] : served.Signatures())
        seen.insert(signature);
    EXPECT_EQ(seen, com_tests::kSignatures);
    EXPECT_EQ(com_tests::RepeatedLookups(served.server->ComStats().at("lookups")), std::vector<std::string>{});
    EXPECT_EQ(served.session->ObjectsHeldOutside(), 0);
}

TEST(ComAdapter, AnswersOfEveryShapeTheHostMayGiveConvert)
{
    host::com::ComApartment apartment;
    const auto result = [](Variant v) { return host::com::Result(std::move(v), "Test"); };
    EXPECT_EQ(result(Variant::I2(7)).I4(), 7);
    EXPECT_EQ(result(Variant::I4(-1)).Bool(), true);
    EXPECT_EQ(result(Variant()).OptionalText(), std::nullopt);
    EXPECT_EQ(result(Variant()).Text(), L"");
    EXPECT_EQ(result(Variant::Text(L"")).OptionalText(), std::wstring());
    EXPECT_FALSE(result(Variant()).Object());
    EXPECT_FALSE(result(Variant::Dispatch(nullptr)).Object());

    Served served(R"({ "format": "glattmark-cad-session/1" })");
    const auto unknown = [](IUnknown* object) {
        Variant v;
        VARIANT* raw = v.Put();
        raw->vt = VT_UNKNOWN;
        raw->punkVal = object;
        return v;
    };
    EXPECT_FALSE(result(unknown(nullptr)).Object());
    EXPECT_TRUE(result(unknown(served.server->Application().Detach())).Object());

    // GetProperties as an array of VARIANTs.
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    for (LONG i = 0; i < 2; ++i)
    {
        Variant element = i == 0 ? Variant::I4(12) : Variant::R8(0.297);
        SafeArrayPutElement(array, &i, const_cast<VARIANT*>(&element.Get()));
    }
    Variant variants;
    VARIANT* raw = variants.Put();
    raw->vt = VT_ARRAY | VT_VARIANT;
    raw->parray = array;
    EXPECT_EQ(result(std::move(variants)).Doubles(), (std::vector<double>{12, 0.297}));

    // An array whose elements are not of the type its VARIANT claims is not read.
    Variant claimsNumbers;
    raw = claimsNumbers.Put();
    raw->vt = VT_ARRAY | VT_R8;
    raw->parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
    try
    {
        (void)result(std::move(claimsNumbers)).Doubles();
        FAIL() << "texts are no numbers";
    }
    catch (const host::Error& error)
    {
        EXPECT_EQ(error.Code(), static_cast<std::int32_t>(DISP_E_TYPEMISMATCH));
    }
    try
    {
        (void)result(Variant::Text(L"Blatt1")).Doubles();
        FAIL() << "a text is no array";
    }
    catch (const host::Error& error)
    {
        EXPECT_EQ(error.Code(), static_cast<std::int32_t>(DISP_E_TYPEMISMATCH));
        EXPECT_EQ(error.Member(), "Test");
    }
}

/// The failure the call raises, or a failure of the test when it raises none.
template <typename Call> host::Error FailureOf(Call&& call)
{
    try
    {
        call();
    }
    catch (const host::Error& error)
    {
        return error;
    }
    ADD_FAILURE() << "no host::Error";
    return host::Error(0, "", "");
}

TEST(ComAdapter, FailuresBecomeHostErrorsWithCodeMemberAndText)
{
    Served served(R"({ "format": "glattmark-cad-session/1", "activeDocument": 0,
        "documents": [ { "path": "C:\\Welle.SLDPRT", "type": 1 } ],
        "faults": [ { "member": "GetType", "occurrence": 1, "effect": "error" },
                    { "afterCalls": 5, "effect": "disconnect" } ] })");
    const auto application = served.GetActiveObject(host::kProgId);
    const auto document = host::Require(application->ActiveDoc(), "ActiveDoc");

    // The text comes from the server's deferred fill-in.
    const auto injected = FailureOf([&] { document->GetType(); });
    EXPECT_EQ(injected.Code(), host::kDispException);
    EXPECT_EQ(injected.Member(), "GetType");
    const std::string text = injected.what();
    EXPECT_NE(text.find("simhost"), std::string::npos) << text;
    EXPECT_NE(text.find("injected failure of call 1"), std::string::npos) << text;

    // A part has no drawing members; the host says so at the call. The document's type is asked first (the
    // failed GetType told none): its members are looked up under the part's numbers.
    const auto notDrawing = FailureOf([&] { document->AsDrawing()->GetCurrentSheet(); });
    EXPECT_EQ(notDrawing.Code(), static_cast<std::int32_t>(DISP_E_MEMBERNOTFOUND));

    // A name no object of the kind answers is asked for once.
    host::com::Dispatch raw(served.server->Application(), host::kind::kApplication,
                            std::make_shared<host::com::DispIdCache>());
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(FailureOf([&] { raw.Call("Gibtsnicht"); }).Code(), static_cast<std::int32_t>(DISP_E_UNKNOWNNAME));
    EXPECT_EQ(served.server->ComStats()["lookups"]["byKind"][host::kind::kApplication]["Gibtsnicht"], 1);

    // After the fifth call the host is gone: every call fails, and so does a lookup of a new name.
    EXPECT_EQ(document->GetType(), host::kPart);
    EXPECT_EQ(FailureOf([&] { document->GetType(); }).Code(), host::kRpcDisconnected);
    EXPECT_EQ(FailureOf([&] { document->EditRebuild(); }).Code(), host::kRpcDisconnected);

    // A DISP_E_EXCEPTION's code is what Visual Basic's Err.Number says.
    const auto exception = [](SCODE scode, WORD wCode) {
        EXCEPINFO info{};
        info.scode = scode;
        info.wCode = wCode;
        return host::com::ExceptionCode(info);
    };
    EXPECT_EQ(exception(E_ACCESSDENIED, 0), E_ACCESSDENIED);
    EXPECT_EQ(exception(S_OK, 1004), static_cast<HRESULT>(0x800A03ECu));
    EXPECT_EQ(exception(S_OK, 0), DISP_E_EXCEPTION);
}

/// A one-dimensional VT_ARRAY|VT_VARIANT holding the elements.
Variant VariantArray(std::vector<Variant> elements)
{
    Variant array;
    VARIANT* raw = array.Put();
    raw->vt = VT_ARRAY | VT_VARIANT;
    raw->parray = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i)
        SafeArrayPutElement(raw->parray, &i, const_cast<VARIANT*>(&elements[static_cast<std::size_t>(i)].Get()));
    return array;
}

TEST(ComAdapter, ArraysOfViewsAreCheckedAndEveryViewReleased)
{
    host::com::ComApartment apartment;
    Served served(R"({ "format": "glattmark-cad-session/1" })");
    const auto object = [&served] { return Variant::Dispatch(served.server->Application()); };
    const auto arrays = [](Variant v) { return host::com::Result(std::move(v), "GetViews").ObjectArrays(); };
    {
        std::vector<Variant> first;
        first.push_back(object());
        first.push_back(object());
        std::vector<Variant> outer;
        outer.push_back(VariantArray(std::move(first)));
        outer.push_back(VariantArray({}));
        const auto read = arrays(VariantArray(std::move(outer)));
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0].size(), 2u);
        EXPECT_TRUE(read[0][1]);
        EXPECT_TRUE(read[1].empty());
        EXPECT_TRUE(arrays(Variant()).empty());
    }
    EXPECT_EQ(served.server->LiveObjects(), 0u);

    // Anything but arrays of arrays of objects is no answer of GetViews; what was read of it goes again.
    const auto malformed = [&](const char* what, auto make) {
        SCOPED_TRACE(what);
        const auto failure = FailureOf([&] { arrays(make()); });
        EXPECT_EQ(failure.Code(), static_cast<std::int32_t>(DISP_E_TYPEMISMATCH));
        EXPECT_EQ(failure.Member(), "GetViews");
        EXPECT_EQ(served.server->LiveObjects(), 0u);
    };
    const auto outerOf = [](Variant element) {
        std::vector<Variant> outer;
        outer.push_back(std::move(element));
        return VariantArray(std::move(outer));
    };
    const auto innerOf = [&object](Variant last) {
        std::vector<Variant> inner;
        inner.push_back(object());
        inner.push_back(std::move(last));
        return VariantArray(std::move(inner));
    };
    malformed("one object", object);
    malformed("an array of objects", [&] { return innerOf(object()); });
    malformed("an array of numbers", [] { return Variant::Array(VT_I4, host::com::SafeArray::OfI4({1, 2})); });
    malformed("a number among the views", [&] { return outerOf(innerOf(Variant::I4(3))); });
    malformed("nothing among the views", [&] { return outerOf(innerOf(Variant::Dispatch(nullptr))); });
    malformed("an empty value among the views", [&] { return outerOf(innerOf(Variant())); });
    malformed("a text among the views", [&] { return outerOf(innerOf(Variant::Text(L"Blatt1"))); });
}

// A failure of simhost's own (here: no memory for its bookkeeping) is answered as an HRESULT, never thrown
// into the caller, which across processes is COM's stub and in this process the adapter.
TEST(SimHostServer, ItsOwnFailuresAreAnsweredAsHresults)
{
    Served served(com_tests::Example("erster-lauf.json"));
    const ComPtr<IDispatch> application = served.server->Application();
    std::wstring name = L"GetExecutablePath";
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    const std::pair<const char*, std::function<HRESULT()>> calls[] = {
        {"GetIDsOfNames",
         [&] {
             DISPID found = DISPID_UNKNOWN;
             return application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found);
         }},
        {"Invoke",
         [&] {
             Variant result;
             DISPPARAMS none{};
             return application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, result.Put(),
                                        nullptr, nullptr);
         }},
    };
    for (const auto& [member, call] : calls)
    {
        for (long allowed = 0; allowed < 100; ++allowed)
        {
            SCOPED_TRACE(std::string(member) + " with " + std::to_string(allowed) + " allocations");
            bool thrown = false;
            HRESULT hr = S_OK;
            {
                const testing_support::AllocationsFailAfter failing(allowed);
                try
                {
                    hr = call();
                }
                catch (...)
                {
                    thrown = true;
                }
            }
            EXPECT_FALSE(thrown);
            if (!testing_support::AllocationsFailAfter::Failed())
            {
                EXPECT_EQ(hr, S_OK);
                break;
            }
            EXPECT_TRUE(FAILED(hr));
        }
    }
}

} // namespace
