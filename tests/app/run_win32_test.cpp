// glattmark.exe's run in one process, with its real windows against a simulated session: the messages it can
// show, what the user does while a window of its own runs a loop, and the ends of the run the entry point
// takes over.
#include "app/frm_main.h"
#include "app/main_dialog_win32.h"
#include "tests/app/app_harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Harness = app_tests::BasicAppHarness<app::Win32DialogView>;

TEST(Win32Run, ConfigurationTheProfileFunctionsCannotReachEndsWithAMessageNamingTheFolder)
{
    // The L with stroke is not in code page 1252, and a file that does not exist has no short name.
    const std::wstring ini = L"C:\\Programme\\glattmark\\glattmark\u0141.ini";
    Harness h{app_tests::DrawingSession(), nullptr, nullptr, ini};
    EXPECT_EQ(app::RunWindowsProgram(*h.run, h.view, *h.form), app::kExitErrorShown);
    ASSERT_EQ(h.Messages().size(), 1u);
    EXPECT_NE(h.Messages()[0].find(L"\"C:\\Programme\\glattmark\""), std::wstring::npos);
    EXPECT_EQ(h.session->TotalCalls(), 0);
    EXPECT_TRUE(h.profiles.reads.empty());
}

} // namespace
