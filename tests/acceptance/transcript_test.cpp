#include "app/sim/transcript.h"

#include <gtest/gtest.h>

namespace
{

using nlohmann::json;

TEST(Transcript, ARunThatNeverShowedTheDialog)
{
    app::sim::Transcript transcript;
    transcript.messages.push_back({"error", L"SW Oberfl\u00e4chen - Assistent", L"Kein Dokument ge\u00f6ffnet."});
    const json j = app::sim::TranscriptToJson(transcript);

    EXPECT_TRUE(j["dialog"].is_null());
    EXPECT_TRUE(j["layout"].is_null());
    EXPECT_EQ(j["ending"], "error");
    ASSERT_EQ(j["messages"].size(), 1u);
    EXPECT_EQ(j["messages"][0]["window"], "error");
    EXPECT_EQ(j["messages"][0]["caption"], "SW Oberfl\xc3\xa4"
                                           "chen - Assistent");
    EXPECT_EQ(j["measurements"], json::array());
}

TEST(Transcript, DialogSnapshotCarriesEveryControl)
{
    app::MainDialogState state;
    state.caption = L"SW Oberfl\u00e4chen - Assistent";
    state.stdSFSSymbol = {{L"Grundlegend", L"Spanend", L"Roh"}, 1, L"Spanend"};
    state.stdSFSRough = {{L"1,6", L"3,2"}, -1, L"12,5"};
    state.stdSFSMet = {{}, -1, L"gefr\u00e4st"};
    state.sfsPicture = 102;
    state.label3Caption = L"Rauheit (Rz)";
    state.cbNormFix = {1, true, false};

    app::sim::Transcript transcript;
    transcript.dialog = app::sim::SnapshotOf(state);
    const json d = app::sim::TranscriptToJson(transcript)["dialog"];

    EXPECT_EQ(d["kind"]["items"], json::array({"Grundlegend", "Spanend", "Roh"}));
    EXPECT_EQ(d["kind"]["index"], 1);
    EXPECT_EQ(d["kind"]["text"], "Spanend");
    EXPECT_EQ(d["picture"], 102);
    EXPECT_EQ(d["rough"]["text"], "12,5");
    EXPECT_EQ(d["rough"]["items"].size(), 2u);
    EXPECT_EQ(d["roughLabel"], "Rauheit (Rz)");
    EXPECT_EQ(d["method"]["items"], json::array());
    EXPECT_EQ(d["method"]["text"], "gefr\xc3\xa4st");
    EXPECT_EQ(d["normFix"]["visible"], true);
    EXPECT_EQ(d["normFix"]["enabled"], false);
    EXPECT_EQ(d["normFix"]["checked"], true);
}

TEST(Transcript, LayoutNumbersReadBackExactly)
{
    app::sim::Transcript transcript;
    app::sim::TranscriptLayout layout;
    layout.results.symbolGap = 0.1 + 0.2;
    layout.results.basePoint = {1.0 / 3.0, 0.297};
    layout.records.push_back({L"glmSymbol99", 0, 0.0123456789012345678, 0.1038, 0.1});
    transcript.layout = layout;
    transcript.measurements.push_back({L"Ra", L"Arial", 14, 2.0 / 3.0 / 1000});
    transcript.ending = "ok";

    const json j = json::parse(app::sim::TranscriptToJson(transcript).dump());
    EXPECT_EQ(j["layout"]["symbolGap"].get<double>(), 0.1 + 0.2);
    EXPECT_EQ(j["layout"]["basePoint"][0].get<double>(), 1.0 / 3.0);
    EXPECT_EQ(j["layout"]["records"][0]["name"], "glmSymbol99");
    EXPECT_EQ(j["layout"]["records"][0]["xWidth"].get<double>(), 0.0123456789012345678);
    EXPECT_EQ(j["measurements"][0]["width"].get<double>(), 2.0 / 3.0 / 1000);
    EXPECT_EQ(j["measurements"][0]["font"], "Arial");
}

} // namespace
