// Injected host failures and the call counts of the simulated session.
#include "host/sim/sim_session.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using host::sim::SimSession;

std::shared_ptr<SimSession> Session(const std::string& faults)
{
    return SimSession::Parse(R"({"format":"glattmark-cad-session/1",
        "documents":[{"sheets":[{"name":"Blatt1","symbols":[{"name":"S1","texts":{"4":"3,2"}}]}]}],
        "faults":)" + faults +
                             "}");
}

host::DrawingPtr Drawing(const std::shared_ptr<SimSession>& session)
{
    return session->Application()->ActiveDoc()->AsDrawing();
}

TEST(SimFaults, ErrorFailsTheKthCallOfTheMemberOnlyAndChangesNothing)
{
    auto session = Session(R"([{"member":"SetText","occurrence":2,"effect":"error"}])");
    auto symbol = Drawing(session)->GetFirstView()->GetFirstSFSymbol();
    EXPECT_TRUE(symbol->SetText(4, L"1,6"));
    try
    {
        symbol->SetText(4, L"6,3");
        ADD_FAILURE() << "no failure";
    }
    catch (const host::Error& e)
    {
        EXPECT_EQ(e.Code(), host::kDispException);
        EXPECT_EQ(e.Member(), "SetText");
    }
    EXPECT_EQ(session->ActiveDocument()->sheets[0].symbols[0].texts[4], host::OptionalText(L"1,6"));
    EXPECT_TRUE(symbol->SetText(4, L"12,5"));
    EXPECT_EQ(session->CallCount("SetText"), 3); // the failed call counts too
}

TEST(SimFaults, FailedOrEmptyInsertionCreatesNothing)
{
    for (const char* effect : {"error", "nothing"})
    {
        SCOPED_TRACE(effect);
        auto session = Session(std::string(R"([{"member":"InsertSurfaceFinishSymbol3","occurrence":1,"effect":")") +
                               effect + R"("},{"member":"InsertNote","occurrence":1,"effect":")" + effect + "\"}]");
        auto drawing = Drawing(session);
        ASSERT_TRUE(drawing->SelectByID(L"Blatt1", L"SHEET", 0.1, 0.1, 0.0));
        auto insert = [&] {
            return drawing->Extension()->InsertSurfaceFinishSymbol3(1, 0, 0, 0, 0, 0, 1, L"", L"", L"", L"", L"", L"",
                                                                    L"");
        };
        if (std::string(effect) == "error")
        {
            EXPECT_THROW(insert(), host::Error);
            EXPECT_THROW(drawing->InsertNote(L"("), host::Error);
        }
        else
        {
            EXPECT_EQ(insert(), nullptr);
            EXPECT_EQ(drawing->InsertNote(L"("), nullptr);
        }
        EXPECT_EQ(session->ActiveDocument()->sheets[0].symbols.size(), 1u);
        EXPECT_TRUE(session->ActiveDocument()->sheets[0].notes.empty());
        EXPECT_NE(insert(), nullptr); // the second call works
        EXPECT_EQ(session->ActiveDocument()->sheets[0].symbols.size(), 2u);
    }
}

TEST(SimFaults, NothingLeavesCallsThatReturnNoObjectAlone)
{
    auto session = Session(R"([{"member":"GetText","occurrence":1,"effect":"nothing"},
                               {"member":"GetFirstView","occurrence":1,"effect":"nothing"}])");
    auto drawing = Drawing(session);
    EXPECT_EQ(drawing->GetFirstView(), nullptr);
    auto symbol = drawing->GetFirstView()->GetFirstSFSymbol();
    EXPECT_EQ(symbol->GetText(4), host::OptionalText(L"3,2"));
}

TEST(SimFaults, DisconnectFailsEveryCallAfterTheNth)
{
    auto session = Session(R"([{"afterCalls":3,"effect":"disconnect"}])");
    auto application = session->Application();
    auto drawing = application->ActiveDoc()->AsDrawing(); // call 1
    auto view = drawing->GetFirstView();                  // call 2
    auto symbol = view->GetFirstSFSymbol();               // call 3
    for (int i = 0; i < 3; ++i)
    {
        try
        {
            (void)symbol->GetText(4);
            ADD_FAILURE() << "no failure";
        }
        catch (const host::Error& e)
        {
            EXPECT_EQ(e.Code(), host::kRpcDisconnected);
            EXPECT_EQ(e.Member(), "GetText");
        }
    }
    EXPECT_THROW(application->SetUserPreferenceToggle(24, false), host::Error);
    EXPECT_TRUE(session->Model().application.toggles.at(24));
    EXPECT_EQ(session->TotalCalls(), 7);
}

TEST(SimFaults, CallsAreCountedByMemberWhicheverObject)
{
    auto session = Session("[]");
    auto application = session->Application();
    auto drawing = application->ActiveDoc()->AsDrawing();
    drawing->SetUserPreferenceToggle(24, false);
    application->SetUserPreferenceToggle(24, true);
    auto format = drawing->GetUserPreferenceTextFormat(5);
    (void)format->get_TypeFaceName();
    format->put_TypeFaceName(L"Arial");
    (void)drawing->GetFirstView()->GetFirstSFSymbol()->GetAnnotation()->GetName();
    (void)drawing->GetCurrentSheet()->GetName();
    EXPECT_EQ(session->CallCount("SetUserPreferenceToggle"), 2);
    EXPECT_EQ(session->CallCount("TypeFaceName"), 2);
    EXPECT_EQ(session->CallCount("GetName"), 2);
    EXPECT_EQ(session->CallCount("AsDrawing"), 0); // no host member
    std::int64_t sum = 0;
    for (const auto& [member, count] : session->CallsByMember())
        sum += count;
    EXPECT_EQ(sum, session->TotalCalls());
    EXPECT_EQ(session->TotalCalls(), 12);
}

} // namespace
