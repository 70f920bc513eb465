#include "app/sim/sheet_svg.h"

#include "host/sim/session_file.h"
#include "tests/support/sim_session_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using json = testing_support::Json;
using testing_support::SheetJson;

json Session(const json& sheet)
{
    return testing_support::SessionJson({sheet});
}

json Symbol(const std::string& name, int type, double x, double y)
{
    json symbol = testing_support::SymbolJson(
        name, {{"3", "Ra"}, {"4", "3,2"}, {"2", "gefr\xc3\xa4st"}, {"9", nullptr}}, type, x, y);
    symbol["textFormat"] = {{"typeFaceName", "Arial"}, {"charHeight", 0.005}, {"bold", false}};
    return symbol;
}

std::string Render(const json& session)
{
    std::string svg;
    std::wstring error;
    EXPECT_TRUE(app::sim::RenderSheetSvg(host::sim::ReadSessionFile(session.dump()), svg, error));
    return svg;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(SheetSvg, SheetIsDrawnInMillimetresWithYUp)
{
    json sheet = SheetJson("Blatt1", {Symbol("S1", 0, 0.1, 0.05)});
    sheet["properties"] = {12, 8, 1, 1, 0, 0.3, 0.2};
    const std::string svg = Render(Session(sheet));

    EXPECT_NE(svg.find("width=\"300.000\" height=\"200.000\""), std::string::npos);
    // The tip of the tick stands at the insertion point: 50 mm above the lower edge is 150 mm from the top.
    EXPECT_NE(svg.find("100.000,150.000"), std::string::npos);
    EXPECT_NE(svg.find(">Ra 3,2<"), std::string::npos);
    EXPECT_NE(svg.find(">gefr\xc3\xa4st<"), std::string::npos);
    EXPECT_NE(svg.find("font-size=\"5.000\""), std::string::npos);
}

TEST(SheetSvg, KindDecidesBarAndCircle)
{
    struct Case
    {
        int type;
        bool allAround;
        std::size_t circles;
        std::size_t lines; ///< the extension line, plus the closing bar of kind 1
    };
    const Case cases[] = {{0, false, 0, 1}, {1, false, 0, 2}, {2, false, 1, 1}, {0, true, 1, 1}, {2, true, 2, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.type) + (c.allAround ? " all around" : ""));
        json symbol = Symbol("S1", c.type, 0.1, 0.1);
        symbol["allAround"] = c.allAround;
        const std::string svg = Render(Session(SheetJson("Blatt1", {symbol})));
        EXPECT_EQ(Count(svg, "<circle"), c.circles);
        EXPECT_EQ(Count(svg, "<line"), c.lines);
    }
}

TEST(SheetSvg, DrawsSymbolsAndNotesInViewsAndOwnOutputApart)
{
    const json sheet = SheetJson("Blatt1", {Symbol("glmSymbol99", 1, 0.1, 0.1)},
                                 {testing_support::NoteJson("glmLNote", "(", 0.2, 0.1)},
                                 {testing_support::ViewJson("Zeichenansicht1", {Symbol("InDerAnsicht", 1, 0.2, 0.2)},
                                                            {testing_support::NoteJson("N1", "a < b & c")})});
    const std::string svg = Render(Session(sheet));

    EXPECT_NE(svg.find("<title>InDerAnsicht</title>"), std::string::npos);
    EXPECT_NE(svg.find(">a &lt; b &amp; c<"), std::string::npos);
    EXPECT_NE(svg.find(">(<"), std::string::npos);
    EXPECT_EQ(Count(svg, "#b00000"), 3u); // the own symbol (stroke and fill) and the own note
}

TEST(SheetSvg, OnlyTheCurrentSheetIsDrawn)
{
    json session = testing_support::SessionJson(
        {SheetJson("Blatt1", {Symbol("Eins", 1, 0.1, 0.1)}), SheetJson("Blatt2", {Symbol("Zwei", 1, 0.1, 0.1)})});
    session["documents"][0]["currentSheet"] = "Blatt2";
    const std::string svg = Render(session);
    EXPECT_EQ(svg.find("Eins"), std::string::npos);
    EXPECT_NE(svg.find("Zwei"), std::string::npos);
}

TEST(SheetSvg, NothingToDrawWithoutADrawing)
{
    json part = Session(SheetJson("Blatt1", {Symbol("S1", 1, 0.1, 0.1)}));
    part["documents"][0]["type"] = 1;
    host::sim::SessionModel outOfRange; // only a model built in code can name a document that is not there
    outOfRange.activeDocument = 3;
    for (const host::sim::SessionModel& session :
         {host::sim::ReadSessionFile(testing_support::SessionJson({}, {{"activeDocument", nullptr}}).dump()),
          host::sim::ReadSessionFile(part.dump()), outOfRange})
    {
        std::string svg;
        std::wstring error;
        EXPECT_FALSE(app::sim::RenderSheetSvg(session, svg, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
