// The simulated host's behaviour where the real host is unknown: the decisions tests elsewhere rely on.
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "tests/support/sim_session_builder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <string>

namespace
{

using host::sim::SimSession;

using testing_support::Json;
using testing_support::NoteJson;
using testing_support::SheetJson;
using testing_support::SymbolJson;
using testing_support::ViewJson;

// Blatt1 (current): two symbols and a note on the sheet, a view with a symbol and a note, and an empty view.
// Blatt2: a note with the same name as Blatt1's and a view of its own.
Json DrawingFile()
{
    Json file = testing_support::SessionJson(
        {SheetJson("Blatt1",
                   {SymbolJson("Oberfl\u00e4chensymbol1", {{"3", "Ra"}, {"4", "3,2"}}),
                    SymbolJson("Oberfl\u00e4chensymbol4")},
                   {NoteJson("DetailItem1", "(")},
                   {ViewJson("Ansicht1", {SymbolJson("Oberfl\u00e4chensymbol2")}, {NoteJson("DetailItem2", ")")},
                             "C:\\M\\Welle.SLDPRT"),
                    ViewJson("Ansicht2", {})}),
         SheetJson("Blatt2", {}, {NoteJson("DetailItem1", "")}, {ViewJson("Ansicht3", {})})},
        {{"files", {{"C:\\M\\Welle.SLDPRT", 1}}}});
    file["documents"][0]["textFormats"] = {
        {"0", {{"typeFaceName", "Arial"}, {"charHeight", 0.0025}}},
        {"5", {{"typeFaceName", "ISOCPEUR"}, {"charHeight", 0.005}, {"bold", true}}}};
    file["documents"][0]["customProperties"] = {{"", {{"Werkstoff", "S235JR"}}}};
    return file;
}

struct Fixture
{
    std::shared_ptr<SimSession> session = testing_support::Session(DrawingFile());
    host::ApplicationPtr application = session->Application();
    host::DrawingPtr drawing = application->ActiveDoc()->AsDrawing();
    host::ExtensionPtr extension = drawing->Extension();

    const host::sim::DocumentModel& Model() const { return *session->ActiveDocument(); }
    std::int32_t Selected() { return drawing->SelectionManager()->GetSelectedObjectCount2(-1); }
    bool Select(const wchar_t* name, const wchar_t* type, bool append)
    {
        return extension->SelectByID(name, type, 0.0, 0.0, 0.0, append, 0, nullptr);
    }
};

TEST(SimHost, Toggle24IsOneApplicationWideFlag)
{
    Fixture f;
    EXPECT_TRUE(f.drawing->GetUserPreferenceToggle(24));
    EXPECT_TRUE(f.drawing->SetUserPreferenceToggle(24, false));
    EXPECT_FALSE(f.drawing->GetUserPreferenceToggle(24));
    f.application->SetUserPreferenceToggle(24, true);
    EXPECT_TRUE(f.drawing->GetUserPreferenceToggle(24));
    EXPECT_EQ(f.session->CallCount("SetUserPreferenceToggle"), 2);
    f.drawing->SetUserPreferenceToggle(24, false);
    EXPECT_EQ(nlohmann::json::parse(f.session->Serialize())["application"]["toggles"]["24"], false);
}

TEST(SimHost, ViewWalkIsTheCurrentSheetThenItsViews)
{
    Fixture f;
    auto view = f.drawing->GetFirstView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetReferencedModelName(), L"");
    auto symbol = view->GetFirstSFSymbol();
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->GetAnnotation()->GetName(), L"Oberflächensymbol1");
    EXPECT_EQ(symbol->GetText(4), host::OptionalText(L"3,2"));
    ASSERT_NE(symbol->GetNext(), nullptr);
    EXPECT_EQ(symbol->GetNext()->GetNext(), nullptr);

    view = view->GetNextView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetReferencedModelName(), L"C:\\M\\Welle.SLDPRT");
    EXPECT_EQ(view->GetFirstSFSymbol()->GetAnnotation()->GetName(), L"Oberflächensymbol2");
    view = view->GetNextView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetFirstSFSymbol(), nullptr);
    EXPECT_EQ(view->GetNextView(), nullptr); // Blatt2's view is not walked

    EXPECT_TRUE(f.drawing->ActivateSheet(L"Blatt2"));
    EXPECT_FALSE(f.drawing->ActivateSheet(L"blatt2"));
    EXPECT_EQ(f.drawing->GetCurrentSheet()->GetName(), L"Blatt2");
    EXPECT_EQ(f.drawing->GetFirstView()->GetNextView()->GetNextView(), nullptr);
}

TEST(SimHost, GetViewsListsEverySheetLastFirstEachItselfThenItsViews)
{
    Fixture f;
    std::vector<std::vector<std::wstring>> names;
    for (const auto& sheet : f.drawing->GetViews())
    {
        names.emplace_back();
        for (const auto& view : sheet)
            names.back().push_back(view->GetName());
    }
    EXPECT_EQ(names, (std::vector<std::vector<std::wstring>>{{L"Blatt2", L"Ansicht3"},
                                                             {L"Blatt1", L"Ansicht1", L"Ansicht2"}}));
    // The sheet as a view walks the symbols on the sheet itself, as GetFirstView's does; the current sheet
    // stays current.
    const auto blatt1 = f.drawing->GetViews().at(1).front();
    EXPECT_EQ(blatt1->GetFirstSFSymbol()->GetAnnotation()->GetName(), L"Oberflächensymbol1");
    EXPECT_EQ(blatt1->GetNextView()->GetName(), L"Ansicht1");
    EXPECT_EQ(f.session->CallCount("GetViews"), 2);
    EXPECT_EQ(f.drawing->GetCurrentSheet()->GetName(), L"Blatt1");
}

TEST(SimHost, InsertionsStandAtTheSheetPickPointWithDefaultNames)
{
    Fixture f;
    EXPECT_EQ(f.extension->InsertSurfaceFinishSymbol3(1, 0, 0, 0, 0, 0, 1, L"", L"", L"", L"", L"", L"", L""), nullptr);
    EXPECT_EQ(f.drawing->InsertNote(L"("), nullptr);
    EXPECT_EQ(f.Model().sheets[0].symbols.size(), 2u);
    EXPECT_EQ(f.Model().sheets[0].notes.size(), 1u);

    EXPECT_FALSE(f.drawing->SelectByID(L"Blatt9", L"SHEET", 0.1, 0.2, 0.0));
    EXPECT_EQ(f.Selected(), 0);
    EXPECT_TRUE(f.drawing->SelectByID(L"Blatt2", L"SHEET", 0.1, 0.2, 0.0));
    EXPECT_TRUE(f.drawing->SelectByID(L"Blatt1", L"SHEET", 0.25, 0.05, 0.0));
    EXPECT_EQ(f.Selected(), 1); // replaced, not added

    auto symbol =
        f.extension->InsertSurfaceFinishSymbol3(2, 0, 0.9, 0.9, 0, 3, 1, L"a", L"b", L"c", L"d", L"e", L"f", L"g");
    ASSERT_NE(symbol, nullptr);
    const auto& made = f.Model().sheets[0].symbols.back();
    EXPECT_EQ(made.name, L"Oberflächensymbol5"); // one past the highest number in the document
    EXPECT_EQ(made.type, 2);
    EXPECT_EQ(made.direction, 3);
    EXPECT_NEAR(made.x, 0.25, 1e-9);
    EXPECT_NEAR(made.y, 0.05, 1e-9);
    const wchar_t* slots[] = {L"", L"a", L"c", L"d", L"b", L"e", L"f", L"g", L"", L"", L""};
    for (std::size_t slot = 1; slot <= 10; ++slot)
        EXPECT_EQ(made.texts[slot], host::OptionalText(slots[slot])) << slot;
    EXPECT_EQ(made.textFormat.typeFaceName, L"ISOCPEUR");

    auto note = f.drawing->InsertNote(L")");
    ASSERT_NE(note, nullptr);
    const auto& madeNote = f.Model().sheets[0].notes.back();
    EXPECT_EQ(madeNote.name, L"DetailItem3");
    EXPECT_EQ(madeNote.text, L")");
    EXPECT_NEAR(madeNote.x, 0.25, 1e-9);
    EXPECT_NEAR(madeNote.textFormat.charHeight, 0.0025, 1e-12);
}

TEST(SimHost, ExtensionSelectionByNameAtSheet)
{
    Fixture f;
    EXPECT_TRUE(f.Select(L"DetailItem2@Blatt1", L"NOTE", false));      // inside a view of the sheet
    EXPECT_FALSE(f.Select(L"detailitem1@Blatt1", L"NOTE", false));     // case counts
    EXPECT_FALSE(f.Select(L"DetailItem1@Blatt1", L"SFSYMBOL", false)); // type counts
    EXPECT_FALSE(f.Select(L"DetailItem1", L"NOTE", false));
    EXPECT_EQ(f.Selected(), 1); // failed selections left it as it was

    EXPECT_TRUE(f.Select(L"Oberflächensymbol1@Blatt1", L"SFSYMBOL", true));
    EXPECT_TRUE(f.Select(L"DetailItem1@Blatt2", L"NOTE", true));
    EXPECT_EQ(f.Selected(), 3);
    EXPECT_TRUE(f.Select(L"Oberflächensymbol1@Blatt1", L"SFSYMBOL", true)); // already selected: toggled off
    EXPECT_EQ(f.Selected(), 2);
    EXPECT_TRUE(f.Select(L"DetailItem1@Blatt1", L"NOTE", false));
    EXPECT_EQ(f.Selected(), 1);

    // The selection written back names what is selected.
    const auto selection = nlohmann::json::parse(f.session->Serialize())["selection"];
    ASSERT_EQ(selection.size(), 1u);
    EXPECT_EQ(selection[0]["name"], "DetailItem1@Blatt1");
    EXPECT_EQ(selection[0]["type"], "NOTE");
}

TEST(SimHost, Select2ReplacesOrAdds)
{
    Fixture f;
    auto first = f.drawing->GetFirstView()->GetFirstSFSymbol();
    ASSERT_TRUE(f.Select(L"DetailItem1@Blatt1", L"NOTE", false));
    EXPECT_TRUE(first->GetAnnotation()->Select2(true, 0));
    EXPECT_TRUE(first->GetNext()->GetAnnotation()->Select2(true, 0));
    EXPECT_EQ(f.Selected(), 3);
    EXPECT_TRUE(first->GetAnnotation()->Select2(true, 0)); // added once only
    EXPECT_EQ(f.Selected(), 3);
    EXPECT_TRUE(first->GetAnnotation()->Select2(false, 0));
    EXPECT_EQ(f.Selected(), 1);
}

// Every selection bears mark 0 here: -1 and 0 take in all of them, another mark none.
TEST(SimHost, SelectionMarks)
{
    Fixture f;
    f.Select(L"DetailItem1@Blatt1", L"NOTE", false);
    auto manager = f.drawing->SelectionManager();
    EXPECT_EQ(manager->GetSelectedObjectCount2(0), 1);
    EXPECT_EQ(manager->GetSelectedObjectCount2(2), 0);
    EXPECT_EQ(manager->DeSelect2({1}, 2), 0);
    EXPECT_EQ(manager->DeSelect2({1}, 0), 1);
    EXPECT_EQ(f.Selected(), 0);
}

TEST(SimHost, DeselectIndicesRunFromOne)
{
    struct Case
    {
        std::vector<std::int32_t> indices;
        std::int32_t deselected;
        std::vector<std::wstring> left;
    };
    const std::vector<Case> cases = {
        {{0}, 0, {L"DetailItem1", L"DetailItem2", L"Oberflächensymbol1"}},
        {{4}, 0, {L"DetailItem1", L"DetailItem2", L"Oberflächensymbol1"}},
        {{-1}, 0, {L"DetailItem1", L"DetailItem2", L"Oberflächensymbol1"}},
        {{1}, 1, {L"DetailItem2", L"Oberflächensymbol1"}},
        {{3}, 1, {L"DetailItem1", L"DetailItem2"}},
        {{0, 1, 2}, 2, {L"Oberflächensymbol1"}},
        {{1, 3, 3}, 2, {L"DetailItem2"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.indices));
        Fixture f;
        f.Select(L"DetailItem1@Blatt1", L"NOTE", false);
        f.Select(L"DetailItem2@Blatt1", L"NOTE", true);
        f.Select(L"Oberflächensymbol1@Blatt1", L"SFSYMBOL", true);
        EXPECT_EQ(f.drawing->SelectionManager()->DeSelect2(c.indices, -1), c.deselected);
        // What is left is what DeleteSelection removes.
        EXPECT_TRUE(f.drawing->DeleteSelection(false));
        std::vector<std::wstring> deleted;
        for (const wchar_t* name : {L"DetailItem1", L"DetailItem2"})
            if (host::sim::FindNote(f.Model().sheets[0], name) == nullptr)
                deleted.push_back(name);
        if (host::sim::FindSymbol(f.Model().sheets[0], L"Oberflächensymbol1") == nullptr)
            deleted.push_back(L"Oberflächensymbol1");
        EXPECT_EQ(deleted, c.left);
    }
}

TEST(SimHost, DeleteSelectionDeletesAnnotationsOnlyAndOldObjectsFail)
{
    Fixture f;
    auto note = f.drawing->GetFirstView()->GetNextView()->GetFirstSFSymbol();
    ASSERT_TRUE(f.drawing->SelectByID(L"Blatt1", L"SHEET", 0, 0, 0));
    EXPECT_FALSE(f.drawing->DeleteSelection(false)); // a sheet is only deselected
    EXPECT_EQ(f.Selected(), 0);
    EXPECT_EQ(f.Model().sheets.size(), 2u);

    ASSERT_TRUE(f.Select(L"Oberflächensymbol2@Blatt1", L"SFSYMBOL", false));
    ASSERT_TRUE(f.Select(L"DetailItem1@Blatt2", L"NOTE", true));
    EXPECT_TRUE(f.drawing->DeleteSelection(true));
    EXPECT_TRUE(f.Model().sheets[0].views[0].symbols.empty());
    EXPECT_TRUE(f.Model().sheets[1].notes.empty());
    EXPECT_EQ(f.Model().sheets[0].notes.size(), 1u); // Blatt1's DetailItem1 stays
    EXPECT_THROW(note->GetText(4), host::Error);
}

TEST(SimHost, SetNameIsUniquePerSheet)
{
    Fixture f;
    auto annotation = f.drawing->GetFirstView()->GetFirstSFSymbol()->GetAnnotation();
    EXPECT_FALSE(annotation->SetName(L"DetailItem2")); // a note in a view of the same sheet
    EXPECT_FALSE(annotation->SetName(L"Oberflächensymbol4"));
    EXPECT_FALSE(annotation->SetName(L""));
    EXPECT_EQ(annotation->GetName(), L"Oberflächensymbol1");
    EXPECT_TRUE(annotation->SetName(L"glmSymbol99"));
    EXPECT_TRUE(annotation->SetName(L"glmSymbol99")); // its own name
    EXPECT_EQ(f.Model().sheets[0].symbols[0].name, L"glmSymbol99");
    // Blatt2 may carry the same name.
    ASSERT_TRUE(f.drawing->SelectByID(L"Blatt2", L"SHEET", 0, 0, 0));
    auto note = f.drawing->InsertNote(L"x");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->GetAnnotation()->SetName(L"glmSymbol99"));
}

TEST(SimHost, SetTextStoresAnEmptyValueAsNull)
{
    Fixture f;
    auto symbol = f.drawing->GetFirstView()->GetFirstSFSymbol();
    EXPECT_TRUE(symbol->SetText(9, std::nullopt));
    EXPECT_TRUE(symbol->SetText(4, L"1,6"));
    EXPECT_FALSE(symbol->SetText(11, L"x"));
    EXPECT_FALSE(symbol->SetText(0, L"x"));
    EXPECT_EQ(symbol->GetText(9), std::nullopt);
    EXPECT_TRUE(symbol->SetSymbol(2, 0, true));
    EXPECT_FALSE(symbol->SetSymbol(10, 0, false));
    const auto written = nlohmann::json::parse(f.session->Serialize());
    const auto& texts = written["documents"][0]["sheets"][0]["symbols"][0]["texts"];
    EXPECT_TRUE(texts["9"].is_null());
    EXPECT_EQ(texts["4"], "1,6");
    EXPECT_EQ(texts["3"], "Ra");
    EXPECT_EQ(written["documents"][0]["sheets"][0]["symbols"][0]["type"], 2);
    EXPECT_EQ(written["documents"][0]["sheets"][0]["symbols"][0]["allAround"], true);
}

TEST(SimHost, CharHeightInPointsConvertsAndRoundsHalvesAwayFromZero)
{
    const double pt = 0.0254 / 72.0;
    struct Case
    {
        double metres;
        std::int32_t points;
    };
    // 7.5, 13.5 and 23.5 pt do not survive metres and back exactly, whichever way the metres are worked.
    const std::vector<Case> cases = {{0.0035, 10},
                                     {10.5 * pt, 11},
                                     {10.49 * pt, 10},
                                     {-10.5 * pt, -11},
                                     {0.0, 0},
                                     {11.5 * pt, 12},
                                     {7.5 * pt, 8},
                                     {13.5 * pt, 14},
                                     {13.5 * 0.0254 / 72.0, 14},
                                     {-13.5 * pt, -14},
                                     {23.5 * 0.0254 / 72.0, 24},
                                     {13.4999 * pt, 13}};
    Fixture f;
    auto format = f.drawing->GetUserPreferenceTextFormat(5);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.metres);
        format->put_CharHeight(c.metres);
        EXPECT_EQ(format->get_CharHeightInPts(), c.points);
    }
    format->put_CharHeightInPts(12);
    EXPECT_NEAR(format->get_CharHeight(), 12 * pt, 1e-15);
    // A copy: the document's format is untouched.
    EXPECT_NEAR(f.drawing->GetUserPreferenceTextFormat(5)->get_CharHeight(), 0.005, 1e-15);
}

TEST(SimHost, TextFormatIsACopyUntilSetTextFormat)
{
    Fixture f;
    auto annotation = f.drawing->GetFirstView()->GetFirstSFSymbol()->GetAnnotation();
    auto format = annotation->GetTextFormat(0);
    format->put_TypeFaceName(L"Courier New");
    format->put_Bold(true);
    EXPECT_EQ(f.Model().sheets[0].symbols[0].textFormat.typeFaceName, L"ISOCPEUR");
    EXPECT_TRUE(annotation->SetTextFormat(0, false, format));
    EXPECT_EQ(f.Model().sheets[0].symbols[0].textFormat.typeFaceName, L"Courier New");
    format->put_TypeFaceName(L"Later");
    EXPECT_EQ(f.Model().sheets[0].symbols[0].textFormat.typeFaceName, L"Courier New");
    EXPECT_FALSE(annotation->SetTextFormat(0, false, nullptr));
    EXPECT_TRUE(annotation->SetTextFormat(0, true, nullptr)); // back to the document's format 5
    EXPECT_EQ(f.Model().sheets[0].symbols[0].textFormat.typeFaceName, L"ISOCPEUR");

    ASSERT_TRUE(f.drawing->SelectByID(L"Blatt1", L"SHEET", 0, 0, 0));
    auto note = f.drawing->InsertNote(L"(");
    note->put_Angle(0.5);
    EXPECT_TRUE(note->SetBalloon(0, 0));
    auto noteFormat = note->GetTextFormat();
    noteFormat->put_CharHeightInPts(14);
    EXPECT_TRUE(note->SetTextFormat(0, noteFormat));
    const auto& made = f.Model().sheets[0].notes.back();
    EXPECT_NEAR(made.textFormat.charHeight, 14 * 0.0254 / 72.0, 1e-15);
    EXPECT_NEAR(made.angle, 0.5, 1e-12);
    EXPECT_EQ(f.session->CallCount("CharHeightInPts"), 1);
    EXPECT_EQ(f.session->CallCount("Angle"), 1);
}

TEST(SimHost, OpenDoc6OpensListedFilesOnly)
{
    Fixture f;
    std::int32_t errors = -1;
    std::int32_t warnings = -1;
    EXPECT_EQ(f.application->OpenDoc6(L"C:\\M\\Fehlt.SLDPRT", 1, 1, L"", errors, warnings), nullptr);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(f.application->OpenDoc6(L"C:\\M\\Welle.SLDPRT", 2, 1, L"", errors, warnings), nullptr);
    auto part = f.application->OpenDoc6(L"c:\\m\\welle.sldprt", 1, 1, L"", errors, warnings);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(part->GetType(), 1);
    EXPECT_EQ(f.session->ActiveDocument()->path, L"C:\\M\\Welle.SLDPRT");
    EXPECT_EQ(f.application->ActiveDoc(), part); // the same object each time
    EXPECT_THROW(part->AsDrawing()->GetCurrentSheet(), host::Error);
    // Open again: returned, not opened twice.
    EXPECT_EQ(f.application->OpenDoc6(L"C:\\M\\Welle.SLDPRT", 1, 1, L"", errors, warnings), part);
    EXPECT_EQ(f.session->Model().documents.size(), 2u);
}

TEST(SimHost, CustomPropertiesAndFeatureTree)
{
    Fixture f;
    auto properties = f.extension->CustomPropertyManager(L"");
    EXPECT_EQ(properties->Add2(L"Werkstoff", 30, L"X"), -1);
    EXPECT_EQ(properties->Set(L"Werkstoff", L"1.4301"), 0);
    EXPECT_EQ(properties->Set(L"Fehlt", L"x"), -1);
    auto standard = f.extension->CustomPropertyManager(L"Standard");
    EXPECT_EQ(standard->Add2(L"Masse", 30, L"1,5"), 1);
    std::wstring value = L"?";
    std::wstring resolved = L"?";
    standard->Get2(L"Werkstoff", value, resolved);
    EXPECT_EQ(resolved, L""); // a configuration does not see the document's own properties
    properties->Get2(L"Werkstoff", value, resolved);
    EXPECT_EQ(resolved, L"1.4301");
    auto tree = f.drawing->FeatureManager();
    tree->put_EnableFeatureTree(false);
    tree->put_EnableFeatureTreeWindow(false);

    const auto written = nlohmann::json::parse(f.session->Serialize())["documents"][0];
    EXPECT_EQ(written["customProperties"]["Standard"]["Masse"], "1,5");
    EXPECT_EQ(written["customProperties"][""]["Werkstoff"], "1.4301");
    EXPECT_EQ(written["enableFeatureTree"], false);
    EXPECT_EQ(written["enableFeatureTreeWindow"], false);
    EXPECT_EQ(f.application->Frame()->GetHWnd(), 0x00010020);
}

TEST(SimHost, ConnectorHandsOverARunningSessionOnly)
{
    auto running = testing_support::Session(DrawingFile());
    host::sim::SimConnector connector(running);
    EXPECT_EQ(connector.GetActiveObject(L"SldWorks.Application"), running->Application());
    EXPECT_EQ(connector.GetActiveObject(L"Other.Application"), nullptr);
    auto stopped = testing_support::Session(testing_support::SessionJson({}, {{"running", false}}));
    EXPECT_EQ(host::sim::SimConnector(stopped).GetActiveObject(L"SldWorks.Application"), nullptr);
    auto empty = testing_support::Session(testing_support::SessionJson({}, {{"activeDocument", nullptr}}));
    EXPECT_EQ(empty->Application()->ActiveDoc(), nullptr);
}

} // namespace
