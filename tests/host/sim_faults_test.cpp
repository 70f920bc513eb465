// Injected host failures and the call counts of the simulated session.
#include "host/sim/sim_session.h"
#include "tests/support/sim_session_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using host::sim::SimSession;
using testing_support::Fault;
using testing_support::Json;

std::shared_ptr<SimSession> Session(const std::vector<Json>& faults)
{
    return testing_support::Session(testing_support::WithFaults(
        testing_support::SessionJson(
            {testing_support::SheetJson("Blatt1", {testing_support::SymbolJson("S1", {{"4", "3,2"}})})}),
        faults));
}

host::DrawingPtr Drawing(const std::shared_ptr<SimSession>& session)
{
    return session->Application()->ActiveDoc()->AsDrawing();
}

TEST(SimFaults, ErrorFailsTheKthCallOfTheMemberOnlyAndChangesNothing)
{
    auto session = Session({Fault("SetText", 2)});
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
        auto session = Session({Fault("InsertSurfaceFinishSymbol3", 1, effect), Fault("InsertNote", 1, effect)});
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
    auto session = Session({Fault("GetText", 1, "nothing"), Fault("GetFirstView", 1, "nothing")});
    auto drawing = Drawing(session);
    EXPECT_EQ(drawing->GetFirstView(), nullptr);
    auto symbol = drawing->GetFirstView()->GetFirstSFSymbol();
    EXPECT_EQ(symbol->GetText(4), host::OptionalText(L"3,2"));
}

TEST(SimFaults, DisconnectFailsEveryCallAfterTheNth)
{
    auto session = Session({testing_support::Disconnect(3)});
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
    auto session = Session({});
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
