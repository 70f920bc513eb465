#include "host/sw_access.h"

#include "tests/support/recording_connector.h"
#include "tests/support/recording_message_window.h"
#include "tests/support/sim_session_builder.h"
#include "ui/conversions.h"
#include "ui/error_object.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

using testing_support::Json;
using testing_support::SessionJson;
using testing_support::SheetJson;
using testing_support::ViewJson;

// What the session file cannot describe, each in its smallest form.

/// The session's application, recording OpenDoc6's arguments (the session keeps only the file), and handing
/// out an active document of the test's own when given one.
class RecordingApplication final : public host::Application
{
public:
    struct OpenCall
    {
        std::wstring fileName;
        std::int32_t type;
        std::int32_t options;
        std::wstring configuration;
    };

    explicit RecordingApplication(host::ApplicationPtr session) : m_session(std::move(session)) {}

    std::vector<OpenCall> openCalls;
    host::DocumentPtr activeDoc;

    host::DocumentPtr ActiveDoc() override { return activeDoc ? activeDoc : m_session->ActiveDoc(); }
    host::DocumentPtr OpenDoc6(const std::wstring& fileName, std::int32_t type, std::int32_t options,
                               const std::wstring& configuration, std::int32_t& errors, std::int32_t& warnings) override
    {
        openCalls.push_back({fileName, type, options, configuration});
        return m_session->OpenDoc6(fileName, type, options, configuration, errors, warnings);
    }
    std::wstring GetCurrentMacroPathName() override { return m_session->GetCurrentMacroPathName(); }
    std::wstring GetExecutablePath() override { return m_session->GetExecutablePath(); }
    host::FramePtr Frame() override { return m_session->Frame(); }
    void SetUserPreferenceToggle(std::int16_t value, bool onFlag) override
    {
        m_session->SetUserPreferenceToggle(value, onFlag);
    }

private:
    host::ApplicationPtr m_session;
};

/// Custom properties that are links: Get2 gives the link as the value and other text as the resolved value.
/// Add2 and Set are recorded with the field type, which the session does not keep.
class LinkedProperties final : public host::CustomPropertyManager
{
public:
    std::vector<std::wstring> calls; ///< "Add2 name=value type t", "Set name=value"

    std::int32_t Add2(const std::wstring& fieldName, std::int32_t fieldType, const std::wstring& fieldValue) override
    {
        calls.push_back(L"Add2 " + fieldName + L"=" + fieldValue + L" type " + std::to_wstring(fieldType));
        return 1;
    }
    std::int32_t Set(const std::wstring& fieldName, const std::wstring& fieldValue) override
    {
        calls.push_back(L"Set " + fieldName + L"=" + fieldValue);
        return 0;
    }
    void Get2(const std::wstring& fieldName, std::wstring& valOut, std::wstring& resolvedValOut) override
    {
        valOut = L"$PRP:\"" + fieldName + L"\"";
        resolvedValOut = L"from the link";
    }
};

class LinkedExtension final : public host::Extension
{
public:
    explicit LinkedExtension(std::shared_ptr<LinkedProperties> properties) : m_properties(std::move(properties)) {}

    bool SelectByID(const std::wstring&, const std::wstring&, double, double, double, bool, std::int16_t,
                    const host::CalloutPtr&) override
    {
        return false;
    }
    host::SFSymbolPtr InsertSurfaceFinishSymbol3(std::int32_t, std::int16_t, double, double, double, std::int32_t,
                                                 std::int16_t, const std::wstring&, const std::wstring&,
                                                 const std::wstring&, const std::wstring&, const std::wstring&,
                                                 const std::wstring&, const std::wstring&) override
    {
        return nullptr;
    }
    host::CustomPropertyManagerPtr CustomPropertyManager(const std::wstring&) override { return m_properties; }

private:
    std::shared_ptr<LinkedProperties> m_properties;
};

/// A drawing by its type that offers no drawing members, with linked custom properties; every other member
/// answers nothing.
class OddDocument final : public host::Document
{
public:
    std::shared_ptr<LinkedProperties> properties = std::make_shared<LinkedProperties>();

    std::int32_t GetType() override { return host::kDrawing; }
    std::wstring GetPathName() override { return {}; }
    host::DrawingPtr AsDrawing() override { return nullptr; }
    host::ExtensionPtr Extension() override { return std::make_shared<LinkedExtension>(properties); }
    host::FeatureManagerPtr FeatureManager() override { return nullptr; }
    host::SelectionManagerPtr SelectionManager() override { return nullptr; }
    bool DeleteSelection(bool) override { return false; }
    bool SelectByID(const std::wstring&, const std::wstring&, double, double, double) override { return false; }
    host::NotePtr InsertNote(const std::wstring&) override { return nullptr; }
    bool GetUserPreferenceToggle(std::int16_t) override { return false; }
    bool SetUserPreferenceToggle(std::int16_t, bool) override { return false; }
    host::TextFormatPtr GetUserPreferenceTextFormat(std::int16_t) override { return nullptr; }
    void EditRebuild() override {}
};

class SwAccessTest : public ::testing::Test
{
protected:
    testing_support::RecordingMessageWindow window;
    ui::ErrorObject cc{window};
    testing_support::RecordingConnector connector;
    host::swAccess swAcc{cc, connector};
    std::shared_ptr<host::sim::SimSession> session;
    std::shared_ptr<RecordingApplication> app;

    /// Starts a session on file, not yet linked; the connector hands out its application.
    void Start(const Json& file)
    {
        session = testing_support::Session(file);
        app = std::make_shared<RecordingApplication>(session->Application());
        connector.application = app;
    }

    /// A session whose active document has the given type and custom properties.
    void StartDocument(std::int32_t type, const Json& customProperties = Json::object())
    {
        Json file = SessionJson({SheetJson("Blatt1", {})});
        file["documents"][0]["type"] = type;
        file["documents"][0]["customProperties"] = customProperties;
        Start(file);
    }

    /// A drawing whose views, after the sheet itself, show the given models; files: what OpenDoc6 can open.
    void StartDrawing(const std::vector<std::string>& viewModels, const Json& files = Json::object())
    {
        std::vector<Json> views;
        for (const auto& model : viewModels)
            views.push_back(ViewJson("Ansicht" + std::to_string(views.size() + 1), {}, {}, model));
        Start(SessionJson({SheetJson("Blatt1", {}, {}, views)}, {{"files", files}}));
    }

    host::DocumentPtr Active() { return session->Application()->ActiveDoc(); }
};

TEST_F(SwAccessTest, LinkAttachesToTheRunningSessionByProgId)
{
    Start(SessionJson({}));
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, app);
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(connector.requests, std::vector<std::wstring>{L"SldWorks.Application"});
}

TEST_F(SwAccessTest, LinkTakesAGivenApplicationWithoutAsking)
{
    Start(SessionJson({}));
    swAcc.Link(app);
    EXPECT_EQ(swAcc.swApp, app);
    EXPECT_TRUE(connector.requests.empty());
}

TEST_F(SwAccessTest, NoSessionIsRecordedAndKeepsTheFollowingGetDrawingQuiet)
{
    for (const bool fail : {false, true})
    {
        SCOPED_TRACE(fail ? "request throws" : "request answers nothing");
        cc.Clear();
        connector.failRequest = fail;
        swAcc.Link(nullptr);
        EXPECT_EQ(cc.Description(), ui::kTextNoSWX);
        swAcc.GetDrawing(false); // must not touch the missing application
        EXPECT_EQ(cc.Description(), ui::kTextNoSWX);
        EXPECT_EQ(swAcc.Drawing, nullptr);
    }
}

TEST_F(SwAccessTest, FailedRequestKeepsAnEarlierSession)
{
    Start(SessionJson({}));
    swAcc.Link(app);
    connector.failRequest = true;
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, app);
    EXPECT_TRUE(cc.NoErr());
}

TEST_F(SwAccessTest, LinkDoesNothingWhileAnErrorIsPending)
{
    Start(SessionJson({}));
    cc.eBadIni();
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, nullptr);
    EXPECT_TRUE(connector.requests.empty());
    EXPECT_EQ(cc.Description(), ui::kTextBadIni);
}

TEST_F(SwAccessTest, GetDrawingWithoutDocument)
{
    Start(SessionJson({}, {{"activeDocument", nullptr}}));
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_EQ(cc.Description(), ui::kTextNoDoc);
    EXPECT_EQ(swAcc.ActiveDoc, nullptr);
}

TEST_F(SwAccessTest, GetDrawingOnADrawing)
{
    StartDrawing({"C:\\p\\a.sldprt"}, {{"C:\\p\\a.sldprt", 1}});
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_TRUE(cc.NoErr());
    const auto drawing = Active();
    EXPECT_EQ(swAcc.Drawing, drawing);
    EXPECT_EQ(swAcc.ActiveDoc, drawing);
    EXPECT_EQ(swAcc.PropDoc, drawing);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(session->CallCount("OpenDoc6"), 0); // the model is only opened when asked for
}

TEST_F(SwAccessTest, GetDrawingOnAPartResetsTheMembersAndRecordsNoDrawing)
{
    StartDrawing({}, {{"C:\\p\\teil.sldprt", 1}});
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    swAcc.Model = swAcc.Drawing;
    // The user opens a part, which becomes the active document.
    std::int32_t errors = 0;
    std::int32_t warnings = 0;
    const auto part = app->OpenDoc6(L"C:\\p\\teil.sldprt", host::kPart, 1, L"", errors, warnings);
    ASSERT_NE(part, nullptr);
    swAcc.GetDrawing(true);
    EXPECT_EQ(cc.Description(), ui::kTextNoDRW);
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(swAcc.PropDoc, part);
}

TEST_F(SwAccessTest, DrawingTypeWithoutDrawingMembersCountsAsNoDrawing)
{
    Start(SessionJson({}));
    app->activeDoc = std::make_shared<OddDocument>();
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_EQ(cc.Description(), ui::kTextNoDRW);
    EXPECT_EQ(swAcc.Drawing, nullptr);
}

TEST_F(SwAccessTest, GetDrawingOpensTheFirstReferencedModelByItsEnding)
{
    struct Case
    {
        std::string name;
        std::int32_t expectedType;
    };
    const std::vector<Case> cases = {
        {"C:\\p\\A.SLDPRT", host::kPart},
        {"C:\\p\\b.SldAsm", host::kAssembly},
        {"C:\\p\\c.sldprt", host::kPart},
        {"C:\\p\\d.step", 0},
        {"x.sldprtx", 0},
        {"prt", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        StartDrawing({"", c.name, "C:\\p\\other.sldasm"}, {{c.name, c.expectedType}});
        swAcc.Link(app);
        swAcc.GetDrawing(true);
        ASSERT_EQ(app->openCalls.size(), 1u);
        EXPECT_EQ(app->openCalls[0].fileName, ui::FromUtf8(c.name));
        EXPECT_EQ(app->openCalls[0].type, c.expectedType);
        EXPECT_EQ(app->openCalls[0].options, 1);
        EXPECT_EQ(app->openCalls[0].configuration, L"");
        ASSERT_NE(swAcc.Model, nullptr);
        EXPECT_EQ(swAcc.Model, Active()); // the opened model
    }
}

TEST_F(SwAccessTest, DrawingWithoutModelViewsLeavesModelEmptyWithoutError)
{
    StartDrawing({"", ""});
    swAcc.Link(app);
    swAcc.GetDrawing(true);
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(session->CallCount("OpenDoc6"), 0);
}

TEST_F(SwAccessTest, GetModelChecksTheType)
{
    struct Case
    {
        std::int32_t docType;
        std::int32_t mustBe;
        const wchar_t* expectedError; // nullptr: accepted
    };
    const std::vector<Case> cases = {
        {host::kPart, 0, nullptr},
        {host::kPart, 1, nullptr},
        {host::kPart, 2, ui::kTextNoASM},
        {host::kAssembly, 0, nullptr},
        {host::kAssembly, 1, ui::kTextNoPRT},
        {host::kAssembly, 2, nullptr},
        {host::kAssembly, 7, nullptr},
        {host::kDrawing, 0, ui::kTextNoModel},
        {host::kDrawing, 1, ui::kTextNoModel},
        {host::kDrawing, 2, ui::kTextNoModel},
        {9, 0, ui::kTextNoModel},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.docType) + " mustBe " + std::to_string(c.mustBe));
        cc.Clear();
        StartDocument(c.docType);
        swAcc.Link(app);
        const auto document = Active();
        swAcc.Drawing = document->AsDrawing(); // a drawing from before, which GetModel forgets
        swAcc.GetModel(c.mustBe);
        EXPECT_EQ(swAcc.Drawing, nullptr);
        EXPECT_EQ(swAcc.PropDoc, document);
        if (c.expectedError)
        {
            EXPECT_EQ(cc.Description(), c.expectedError);
            EXPECT_EQ(swAcc.Model, nullptr);
        }
        else
        {
            EXPECT_TRUE(cc.NoErr());
            EXPECT_EQ(swAcc.Model, document);
        }
    }
}

TEST_F(SwAccessTest, GetDocsQTakesAnyDocumentAndLeavesPropDoc)
{
    StartDocument(host::kAssembly);
    swAcc.Link(app);
    swAcc.GetDocsQ();
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(swAcc.Model, Active());
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.PropDoc, nullptr);

    StartDrawing({"m.SLDPRT"}, {{"m.SLDPRT", 1}});
    const auto drawing = Active();
    swAcc.Link(app);
    swAcc.GetDocsQ();
    EXPECT_EQ(swAcc.Drawing, drawing);
    ASSERT_NE(swAcc.Model, nullptr);
    EXPECT_EQ(swAcc.Model, Active()); // the opened model

    Start(SessionJson({}, {{"activeDocument", nullptr}}));
    swAcc.Link(app);
    swAcc.GetDocsQ();
    EXPECT_EQ(cc.Description(), ui::kTextNoDoc);
}

TEST_F(SwAccessTest, DocumentOperationsWithoutSessionThrowInsteadOfCrashing)
{
    EXPECT_THROW(swAcc.GetDrawing(false), host::Error);
    EXPECT_THROW(swAcc.GetModel(0), host::Error);
    EXPECT_THROW(swAcc.GetDocsQ(), host::Error);
    EXPECT_THROW(swAcc.GetPropStr(L"p", L"", nullptr), host::Error);
}

TEST_F(SwAccessTest, LockUIWhileAnErrorIsPending)
{
    StartDocument(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(1);
    cc.eUnknown();
    const auto tree = [this] {
        const auto* part = session->ActiveDocument();
        return std::vector<bool>{part->enableFeatureTree, part->enableFeatureTreeWindow};
    };

    swAcc.LockUI(true);
    EXPECT_EQ(session->CallCount("EnableFeatureTree") + session->CallCount("EnableFeatureTreeWindow"), 0);

    swAcc.LockUI(false);
    EXPECT_EQ(session->CallCount("EnableFeatureTree"), 1);
    EXPECT_EQ(session->CallCount("EnableFeatureTreeWindow"), 1);
    EXPECT_EQ(tree(), (std::vector<bool>{true, true}));

    cc.Clear();
    swAcc.LockUI(true);
    EXPECT_EQ(tree(), (std::vector<bool>{false, false}));
}

TEST_F(SwAccessTest, LockUIWithoutModelDoesNothing)
{
    swAcc.LockUI(true);
    swAcc.LockUI(false);
    EXPECT_TRUE(cc.NoErr());
}

TEST_F(SwAccessTest, GetPropStrFallsBackToTheDocumentLevelAndBlanksInheritedValues)
{
    struct Case
    {
        std::string configValue;
        std::string documentValue;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"Stahl", "Alu", L"Stahl"},
        {"", "Alu", L"Alu"},
        {"", "", L""},
        {"FROMPARENT+x", "Alu", L"### Leer"},
        {"fromparent+abc", "", L"### Leer"},
        {"", "FromParent+Werkstoff", L"### Leer"},
        {"FROMPARENT+", "Alu", L"FROMPARENT+"},
        {"FROMPARENTx", "", L"FROMPARENTx"},
    };
    Json properties = {{"Default", Json::object()}, {"", Json::object()}};
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        properties["Default"]["M" + std::to_string(i)] = cases[i].configValue;
        properties[""]["M" + std::to_string(i)] = cases[i].documentValue;
    }
    StartDocument(host::kPart, properties);
    swAcc.Link(app);
    swAcc.GetModel(0);
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        SCOPED_TRACE(cases[i].configValue + " / " + cases[i].documentValue);
        EXPECT_EQ(swAcc.GetPropStr(L"M" + std::to_wstring(i), L"Default", nullptr), cases[i].expected);
    }
}

TEST_F(SwAccessTest, GetPropStrReadsTheResolvedValueOfTheGivenDocumentRatherThanPropDoc)
{
    StartDocument(host::kPart, {{"", {{"Name", "from PropDoc"}}}});
    swAcc.Link(app);
    swAcc.GetModel(0);
    EXPECT_EQ(swAcc.GetPropStr(L"Name", L"", std::make_shared<OddDocument>()), L"from the link");
}

TEST_F(SwAccessTest, GetPropValReadsTheLeadingNumber)
{
    struct Case
    {
        std::string stored;
        double expected;
    };
    const std::vector<Case> cases = {
        {"1,5", 1.5}, {"2.5", 2.5}, {"abc", 0.0}, {"", 7.0}, {"12 mm", 12.0}, {"FROMPARENT+1", 0.0}, {"1d2", 1.0},
    };
    Json properties = Json::object();
    for (std::size_t i = 0; i < cases.size(); ++i)
        properties["Mass" + std::to_string(i)] = cases[i].stored;
    StartDocument(host::kPart, {{"", properties}});
    swAcc.Link(app);
    swAcc.GetModel(0);
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        SCOPED_TRACE(cases[i].stored);
        host::DocumentPtr modelDoc;
        EXPECT_EQ(swAcc.GetPropVal(L"Mass" + std::to_wstring(i), L"", 7.0, modelDoc), cases[i].expected);
        EXPECT_EQ(modelDoc, swAcc.PropDoc); // the caller's variable receives PropDoc
    }
    host::DocumentPtr modelDoc;
    EXPECT_EQ(swAcc.GetPropVal(L"Missing", L"", -1.0, modelDoc), -1.0);
}

TEST_F(SwAccessTest, SetPropStrAddsThenSetsOnTheActiveDocument)
{
    StartDocument(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(0);
    host::DocumentPtr modelDoc;
    swAcc.SetPropStr(L"Bearbeiter", L"MEIER", L"Default", modelDoc);
    EXPECT_EQ(modelDoc, Active());
    swAcc.SetPropStr(L"Bearbeiter", L"SCHULZ", L"Default", modelDoc);
    EXPECT_EQ(swAcc.GetPropStr(L"Bearbeiter", L"Default", modelDoc), L"SCHULZ");

    // As text (field type 30), added and then set.
    const auto linked = std::make_shared<OddDocument>();
    host::DocumentPtr given = linked;
    swAcc.SetPropStr(L"Bearbeiter", L"MEIER", L"Default", given);
    EXPECT_EQ(linked->properties->calls,
              (std::vector<std::wstring>{L"Add2 Bearbeiter=MEIER type 30", L"Set Bearbeiter=MEIER"}));
}

TEST_F(SwAccessTest, UnLinkReleasesEveryReference)
{
    StartDrawing({"m.sldprt"}, {{"m.sldprt", 1}});
    swAcc.Link(app);
    swAcc.GetDrawing(true);
    ASSERT_NE(swAcc.Model, nullptr);
    swAcc.UnLink();
    EXPECT_EQ(swAcc.swApp, nullptr);
    EXPECT_EQ(swAcc.ActiveDoc, nullptr);
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(swAcc.PropDoc, nullptr);
    EXPECT_EQ(session->ObjectsHeldOutside(), 0);
}

} // namespace
