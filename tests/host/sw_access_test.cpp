#include "host/sw_access.h"

#include "tests/support/recording_message_window.h"
#include "ui/conversions.h"
#include "ui/error_object.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Small hand-written stand-ins for the few host objects the session access touches.

class FakeFeatureManager : public host::FeatureManager
{
public:
    std::vector<std::pair<std::string, bool>> calls;

    void put_EnableFeatureTree(bool enable) override { calls.emplace_back("EnableFeatureTree", enable); }
    void put_EnableFeatureTreeWindow(bool enable) override { calls.emplace_back("EnableFeatureTreeWindow", enable); }
};

class FakePropertyManager : public host::CustomPropertyManager
{
public:
    struct Value
    {
        std::wstring raw;
        std::wstring resolved;
    };
    std::map<std::wstring, Value> properties;
    std::vector<std::wstring> calls; ///< "Add2 name=value", "Set name=value"

    std::int32_t Add2(const std::wstring& fieldName, std::int32_t fieldType, const std::wstring& fieldValue) override
    {
        calls.push_back(L"Add2 " + fieldName + L"=" + fieldValue + L" type " + std::to_wstring(fieldType));
        if (properties.count(fieldName) != 0)
            return -1;
        properties[fieldName] = {fieldValue, fieldValue};
        return 1;
    }
    std::int32_t Set(const std::wstring& fieldName, const std::wstring& fieldValue) override
    {
        calls.push_back(L"Set " + fieldName + L"=" + fieldValue);
        const auto found = properties.find(fieldName);
        if (found == properties.end())
            return -1;
        found->second = {fieldValue, fieldValue};
        return 0;
    }
    void Get2(const std::wstring& fieldName, std::wstring& valOut, std::wstring& resolvedValOut) override
    {
        const auto found = properties.find(fieldName);
        valOut = found == properties.end() ? L"" : found->second.raw;
        resolvedValOut = found == properties.end() ? L"" : found->second.resolved;
    }
};

class FakeExtension : public host::Extension
{
public:
    /// Property managers by configuration name ("" for the document's own properties).
    std::map<std::wstring, std::shared_ptr<FakePropertyManager>> managers;

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
    host::CustomPropertyManagerPtr CustomPropertyManager(const std::wstring& configName) override
    {
        auto& manager = managers[configName];
        if (!manager)
            manager = std::make_shared<FakePropertyManager>();
        return manager;
    }

    void SetResolved(const std::wstring& config, const std::wstring& name, const std::wstring& resolved)
    {
        std::static_pointer_cast<FakePropertyManager>(CustomPropertyManager(config))->properties[name] = {L"$PRP",
                                                                                                          resolved};
    }
};

class FakeView : public host::View
{
public:
    explicit FakeView(std::wstring modelName) : referencedModelName(std::move(modelName)) {}

    std::wstring referencedModelName;
    host::ViewPtr next;

    host::ViewPtr GetNextView() override { return next; }
    host::SFSymbolPtr GetFirstSFSymbol() override { return nullptr; }
    std::wstring GetReferencedModelName() override { return referencedModelName; }
};

/// A document of any type; as a drawing it also answers the drawing members.
class FakeDocument : public host::Drawing, public std::enable_shared_from_this<FakeDocument>
{
public:
    explicit FakeDocument(std::int32_t documentType) : type(documentType) {}

    std::int32_t type;
    std::shared_ptr<FakeFeatureManager> featureManager = std::make_shared<FakeFeatureManager>();
    std::shared_ptr<FakeExtension> extension = std::make_shared<FakeExtension>();
    host::ViewPtr firstView;
    bool answersDrawingMembers = true;

    std::int32_t GetType() override { return type; }
    host::FeatureManagerPtr FeatureManager() override { return featureManager; }
    host::ExtensionPtr Extension() override { return extension; }
    host::SelectionManagerPtr SelectionManager() override { return nullptr; }
    bool DeleteSelection(bool) override { return false; }
    bool SelectByID(const std::wstring&, const std::wstring&, double, double, double) override { return false; }
    host::NotePtr InsertNote(const std::wstring&) override { return nullptr; }
    bool GetUserPreferenceToggle(std::int16_t) override { return false; }
    bool SetUserPreferenceToggle(std::int16_t, bool) override { return false; }
    host::TextFormatPtr GetUserPreferenceTextFormat(std::int16_t) override { return nullptr; }
    void EditRebuild() override {}
    host::DrawingPtr AsDrawing() override
    {
        if (type != host::kDrawing || !answersDrawingMembers)
            return nullptr;
        return shared_from_this();
    }
    host::SheetPtr GetCurrentSheet() override { return nullptr; }
    host::ViewPtr GetFirstView() override { return firstView; }
    bool ActivateSheet(const std::wstring&) override { return false; }
};

class FakeApplication : public host::Application
{
public:
    struct OpenCall
    {
        std::wstring fileName;
        std::int32_t type;
        std::int32_t options;
        std::wstring configuration;
    };

    host::DocumentPtr activeDoc;
    host::DocumentPtr opened; ///< what OpenDoc6 answers
    std::vector<OpenCall> openCalls;

    host::DocumentPtr ActiveDoc() override { return activeDoc; }
    host::DocumentPtr OpenDoc6(const std::wstring& fileName, std::int32_t type, std::int32_t options,
                               const std::wstring& configuration, std::int32_t& errors, std::int32_t& warnings) override
    {
        openCalls.push_back({fileName, type, options, configuration});
        errors = 0;
        warnings = 0;
        return opened;
    }
    std::wstring GetCurrentMacroPathName() override { return L""; }
    std::wstring GetExecutablePath() override { return L""; }
    host::FramePtr Frame() override { return nullptr; }
    void SetUserPreferenceToggle(std::int16_t, bool) override {}
};

class FakeConnector : public host::SessionConnector
{
public:
    host::ApplicationPtr running;
    bool fail = false;
    std::vector<std::wstring> requests;

    host::ApplicationPtr GetActiveObject(const std::wstring& progId) override
    {
        requests.push_back(progId);
        if (fail)
            throw host::Error(host::kServerUnavailable, "GetActiveObject", "failure injected by the test");
        return running;
    }
};

class SwAccessTest : public ::testing::Test
{
protected:
    testing_support::RecordingMessageWindow window;
    ui::ErrorObject cc{window};
    FakeConnector connector;
    std::shared_ptr<FakeApplication> app = std::make_shared<FakeApplication>();
    host::swAccess swAcc{cc, connector};

    std::shared_ptr<FakeDocument> Activate(std::int32_t type)
    {
        auto document = std::make_shared<FakeDocument>(type);
        app->activeDoc = document;
        return document;
    }

    /// A drawing whose views name the given models, the sheet itself first.
    std::shared_ptr<FakeDocument> ActivateDrawing(const std::vector<std::wstring>& viewModels)
    {
        auto drawing = Activate(host::kDrawing);
        auto sheetView = std::make_shared<FakeView>(L"");
        drawing->firstView = sheetView;
        host::ViewPtr last = sheetView;
        for (const auto& model : viewModels)
        {
            auto view = std::make_shared<FakeView>(model);
            std::static_pointer_cast<FakeView>(last)->next = view;
            last = view;
        }
        return drawing;
    }
};

TEST_F(SwAccessTest, LinkAttachesToTheRunningSessionByProgId)
{
    connector.running = app;
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, app);
    EXPECT_TRUE(cc.NoErr());
    ASSERT_EQ(connector.requests.size(), 1u);
    EXPECT_EQ(connector.requests[0], L"SldWorks.Application");
}

TEST_F(SwAccessTest, LinkTakesAGivenApplicationWithoutAsking)
{
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
        connector.fail = fail;
        swAcc.Link(nullptr);
        EXPECT_EQ(cc.Description(), ui::kTextNoSWX);
        swAcc.GetDrawing(false); // must not touch the missing application
        EXPECT_EQ(cc.Description(), ui::kTextNoSWX);
        EXPECT_EQ(swAcc.Drawing, nullptr);
    }
}

TEST_F(SwAccessTest, FailedRequestKeepsAnEarlierSession)
{
    swAcc.Link(app);
    connector.fail = true;
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, app);
    EXPECT_TRUE(cc.NoErr());
}

TEST_F(SwAccessTest, LinkDoesNothingWhileAnErrorIsPending)
{
    cc.eBadIni();
    connector.running = app;
    swAcc.Link(nullptr);
    EXPECT_EQ(swAcc.swApp, nullptr);
    EXPECT_TRUE(connector.requests.empty());
    EXPECT_EQ(cc.Description(), ui::kTextBadIni);
}

TEST_F(SwAccessTest, GetDrawingWithoutDocument)
{
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_EQ(cc.Description(), ui::kTextNoDoc);
    EXPECT_EQ(swAcc.ActiveDoc, nullptr);
}

TEST_F(SwAccessTest, GetDrawingOnADrawing)
{
    auto drawing = ActivateDrawing({L"C:\\p\\a.sldprt"});
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(swAcc.Drawing, drawing);
    EXPECT_EQ(swAcc.ActiveDoc, drawing);
    EXPECT_EQ(swAcc.PropDoc, drawing);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_TRUE(app->openCalls.empty()); // the model is only opened when asked for
}

TEST_F(SwAccessTest, GetDrawingOnAPartResetsTheMembersAndRecordsNoDrawing)
{
    auto earlier = ActivateDrawing({});
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    auto part = Activate(host::kPart);
    swAcc.Model = earlier;
    swAcc.GetDrawing(true);
    EXPECT_EQ(cc.Description(), ui::kTextNoDRW);
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(swAcc.PropDoc, part);
}

TEST_F(SwAccessTest, DrawingTypeWithoutDrawingMembersCountsAsNoDrawing)
{
    auto drawing = Activate(host::kDrawing);
    drawing->answersDrawingMembers = false;
    swAcc.Link(app);
    swAcc.GetDrawing(false);
    EXPECT_EQ(cc.Description(), ui::kTextNoDRW);
    EXPECT_EQ(swAcc.Drawing, nullptr);
}

TEST_F(SwAccessTest, GetDrawingOpensTheFirstReferencedModelByItsEnding)
{
    struct Case
    {
        std::wstring name;
        std::int32_t expectedType;
    };
    const std::vector<Case> cases = {
        {L"C:\\p\\A.SLDPRT", host::kPart},
        {L"C:\\p\\b.SldAsm", host::kAssembly},
        {L"C:\\p\\c.sldprt", host::kPart},
        {L"C:\\p\\d.step", 0},
        {L"x.sldprtx", 0},
        {L"prt", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.name));
        app->openCalls.clear();
        auto model = std::make_shared<FakeDocument>(host::kPart);
        app->opened = model;
        ActivateDrawing({L"", c.name, L"C:\\p\\other.sldasm"});
        swAcc.Link(app);
        swAcc.GetDrawing(true);
        ASSERT_EQ(app->openCalls.size(), 1u);
        EXPECT_EQ(app->openCalls[0].fileName, c.name);
        EXPECT_EQ(app->openCalls[0].type, c.expectedType);
        EXPECT_EQ(app->openCalls[0].options, 1);
        EXPECT_EQ(app->openCalls[0].configuration, L"");
        EXPECT_EQ(swAcc.Model, model);
    }
}

TEST_F(SwAccessTest, DrawingWithoutModelViewsLeavesModelEmptyWithoutError)
{
    ActivateDrawing({L"", L""});
    swAcc.Link(app);
    swAcc.GetDrawing(true);
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_TRUE(app->openCalls.empty());
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
    swAcc.Link(app);
    for (const auto& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.docType) + " mustBe " + std::to_string(c.mustBe));
        cc.Clear();
        auto document = Activate(c.docType);
        swAcc.Drawing = std::make_shared<FakeDocument>(host::kDrawing);
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
    swAcc.Link(app);
    auto assembly = Activate(host::kAssembly);
    swAcc.GetDocsQ();
    EXPECT_TRUE(cc.NoErr());
    EXPECT_EQ(swAcc.Model, assembly);
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.PropDoc, nullptr);

    auto model = std::make_shared<FakeDocument>(host::kPart);
    app->opened = model;
    auto drawing = ActivateDrawing({L"m.SLDPRT"});
    swAcc.GetDocsQ();
    EXPECT_EQ(swAcc.Drawing, drawing);
    EXPECT_EQ(swAcc.Model, model);

    app->activeDoc = nullptr;
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
    auto part = Activate(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(1);
    cc.eUnknown();

    swAcc.LockUI(true);
    EXPECT_TRUE(part->featureManager->calls.empty());

    swAcc.LockUI(false);
    const std::vector<std::pair<std::string, bool>> expected = {{"EnableFeatureTree", true},
                                                                {"EnableFeatureTreeWindow", true}};
    EXPECT_EQ(part->featureManager->calls, expected);

    cc.Clear();
    part->featureManager->calls.clear();
    swAcc.LockUI(true);
    const std::vector<std::pair<std::string, bool>> locked = {{"EnableFeatureTree", false},
                                                              {"EnableFeatureTreeWindow", false}};
    EXPECT_EQ(part->featureManager->calls, locked);
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
        std::wstring configValue;
        std::wstring documentValue;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {L"Stahl", L"Alu", L"Stahl"},
        {L"", L"Alu", L"Alu"},
        {L"", L"", L""},
        {L"FROMPARENT+x", L"Alu", L"### Leer"},
        {L"fromparent+abc", L"", L"### Leer"},
        {L"", L"FromParent+Werkstoff", L"### Leer"},
        {L"FROMPARENT+", L"Alu", L"FROMPARENT+"},
        {L"FROMPARENTx", L"", L"FROMPARENTx"},
    };
    auto part = Activate(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(0);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.configValue + L" / " + c.documentValue));
        part->extension->SetResolved(L"Default", L"Material", c.configValue);
        part->extension->SetResolved(L"", L"Material", c.documentValue);
        EXPECT_EQ(swAcc.GetPropStr(L"Material", L"Default", nullptr), c.expected);
    }
}

TEST_F(SwAccessTest, GetPropStrReadsTheGivenDocumentRatherThanPropDoc)
{
    auto part = Activate(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(0);
    part->extension->SetResolved(L"", L"Name", L"from PropDoc");
    auto other = std::make_shared<FakeDocument>(host::kPart);
    other->extension->SetResolved(L"", L"Name", L"from other");
    EXPECT_EQ(swAcc.GetPropStr(L"Name", L"", other), L"from other");
}

TEST_F(SwAccessTest, GetPropValReadsTheLeadingNumber)
{
    struct Case
    {
        std::wstring stored;
        double expected;
    };
    const std::vector<Case> cases = {
        {L"1,5", 1.5},    {L"2.5", 2.5},          {L"abc", 0.0}, {L"", 7.0},
        {L"12 mm", 12.0}, {L"FROMPARENT+1", 0.0}, {L"1d2", 1.0},
    };
    auto part = Activate(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(0);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.stored));
        part->extension->SetResolved(L"", L"Mass", c.stored);
        host::DocumentPtr modelDoc;
        EXPECT_EQ(swAcc.GetPropVal(L"Mass", L"", 7.0, modelDoc), c.expected);
        EXPECT_EQ(modelDoc, part); // the caller's variable receives PropDoc
    }
    host::DocumentPtr modelDoc;
    EXPECT_EQ(swAcc.GetPropVal(L"Missing", L"", -1.0, modelDoc), -1.0);
}

TEST_F(SwAccessTest, SetPropStrAddsThenSetsOnTheActiveDocument)
{
    auto part = Activate(host::kPart);
    swAcc.Link(app);
    swAcc.GetModel(0);
    host::DocumentPtr modelDoc;
    swAcc.SetPropStr(L"Bearbeiter", L"MEIER", L"Default", modelDoc);
    EXPECT_EQ(modelDoc, part);
    const auto manager = part->extension->managers.at(L"Default");
    const std::vector<std::wstring> expected = {L"Add2 Bearbeiter=MEIER type 30", L"Set Bearbeiter=MEIER"};
    EXPECT_EQ(manager->calls, expected);

    swAcc.SetPropStr(L"Bearbeiter", L"SCHULZ", L"Default", modelDoc);
    EXPECT_EQ(swAcc.GetPropStr(L"Bearbeiter", L"Default", modelDoc), L"SCHULZ");
}

TEST_F(SwAccessTest, UnLinkReleasesEveryReference)
{
    ActivateDrawing({L"m.sldprt"});
    app->opened = std::make_shared<FakeDocument>(host::kPart);
    swAcc.Link(app);
    swAcc.GetDrawing(true);
    swAcc.UnLink();
    EXPECT_EQ(swAcc.swApp, nullptr);
    EXPECT_EQ(swAcc.ActiveDoc, nullptr);
    EXPECT_EQ(swAcc.Drawing, nullptr);
    EXPECT_EQ(swAcc.Model, nullptr);
    EXPECT_EQ(swAcc.PropDoc, nullptr);
}

} // namespace
