#include "app/run_log.h"

#include "drawing/summary_insertion.h"
#include "tests/app/app_harness.h"
#include "ui/conversions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{

using app_tests::AppHarness;
using app_tests::DrawingSession;
using app_tests::Json;
using testing_support::Fault;
using testing_support::WithFaults;

/// A file name of this test's own in the temporary folder, removed before and after.
class TempLog
{
public:
    explicit TempLog(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("glattmark-test-" + name + ".log"))
    {
        std::filesystem::remove(m_path);
    }
    TempLog(const TempLog&) = delete;
    TempLog& operator=(const TempLog&) = delete;
    ~TempLog() { std::filesystem::remove(m_path); }

    std::wstring Path() const { return m_path.wstring(); }

    std::vector<Json> Lines() const
    {
        std::vector<Json> lines;
        std::ifstream file(m_path, std::ios::binary);
        for (std::string line; std::getline(file, line);)
            lines.push_back(Json::parse(line));
        return lines;
    }

private:
    std::filesystem::path m_path;
};

/// One run through the entry point's steps: start-up, "Ok" (or "Abbruch"), the log's end line.
void RunOnce(AppHarness& h, const std::wstring& logFile, bool ok = true)
{
    if (!logFile.empty())
        h.Ini(L"main", L"LogFile", logFile);
    h.form->Form_Load();
    if (ok)
        h.form->cmd_Ok_Click();
    else
        h.form->cmd_Cancel_Click();
    const bool error = h.form->RunEnding() == app::Ending::Error;
    h.run->log.End(error ? 1 : 0, app::EndingName(h.form->RunEnding()));
}

TEST(RunLog, EachRunAppendsItsStartEveryCallMessagesAndEnding)
{
    const TempLog log("runs");
    // The second symbol of the row fails: a failed call, a message and an error ending.
    AppHarness failing{WithFaults(DrawingSession(), {Fault("InsertSurfaceFinishSymbol3", 2)})};
    RunOnce(failing, log.Path());
    AppHarness cancelled{DrawingSession()};
    RunOnce(cancelled, log.Path(), false);

    const std::vector<Json> lines = log.Lines();
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].value("event", "") == "start")
            starts.push_back(i);
    ASSERT_EQ(starts.size(), 2u);
    const std::vector<Json> first(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(starts[1]));

    EXPECT_EQ(first.front()["document"], "C:\\Zeichnungen\\Welle.SLDDRW");
    EXPECT_EQ(first.front()["user"], "station7");
    EXPECT_EQ(first.front()["ini"], ui::ToUtf8(app_tests::kIniPath));
    std::int64_t calls = 0;
    std::set<std::pair<std::string, std::string>> lookedUp;
    std::vector<Json> failed;
    std::vector<Json> events;
    for (const Json& line : first)
    {
        if (line.contains("event"))
            events.push_back(line);
        else if (line.value("lookup", false))
            EXPECT_TRUE(lookedUp.insert({line["object"].get<std::string>(), line["member"].get<std::string>()}).second)
                << line.dump();
        else
        {
            ++calls;
            if (line["hr"] != "0x00000000")
                failed.push_back(line);
        }
    }
    EXPECT_EQ(calls, failing.session->TotalCalls());
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0]["member"], "InsertSurfaceFinishSymbol3");
    EXPECT_EQ(failed[0]["hr"], "0x80020009");
    EXPECT_EQ(failed[0]["text"], "InsertSurfaceFinishSymbol3: simulated session: injected failure of call 2");
    EXPECT_EQ(failed[0]["args"].size(), 14u);
    EXPECT_EQ(failed[0]["args"][0], "VT_I4");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1],
              (Json{{"event", "message"}, {"window", "error"}, {"text", ui::ToUtf8(drawing::kTextSymbolsNotCreated)}}));
    EXPECT_EQ(events[2], (Json{{"event", "end"}, {"status", 1}, {"ending", "error"}}));
    EXPECT_EQ(lines.back(), (Json{{"event", "end"}, {"status", 0}, {"ending", "cancel"}}));
}

TEST(RunLog, LogThatCannotBeOpenedLeavesTheRunAsWithoutOne)
{
    AppHarness plain{DrawingSession()};
    RunOnce(plain, L"");
    const auto folder = std::filesystem::temp_directory_path();
    for (const std::wstring& file : {(folder / "glattmark-fehlt" / "run.log").wstring(), folder.wstring()})
    {
        SCOPED_TRACE(ui::ToUtf8(file));
        AppHarness h{DrawingSession()};
        RunOnce(h, file);
        EXPECT_FALSE(h.run->log.IsOpen());
        EXPECT_EQ(h.session->CallsByMember(), plain.session->CallsByMember());
        EXPECT_EQ(h.Messages(), plain.Messages());
        EXPECT_EQ(h.form->RunEnding(), app::Ending::Ok);
        EXPECT_EQ(h.session->Serialize(), plain.session->Serialize());
    }

    // Never into the configuration files, however the key spells them.
    const auto ini = folder / "glattmark-test.ini";
    for (const auto& file : {ini, folder / "glattmark-test.cfg"})
        std::ofstream(file, std::ios::binary) << "[main]\n";
    for (const auto& named : {ini, folder / "." / "glattmark-test.cfg"})
    {
        app::RunLog log;
        EXPECT_FALSE(log.Open(named.wstring(), {"1", ini.wstring(), L""}));
    }
    EXPECT_EQ(std::filesystem::file_size(ini), 7u);
    std::filesystem::remove(ini);
    std::filesystem::remove(folder / "glattmark-test.cfg");
}

TEST(RunLog, PathIsRelativeToTheIniFilesFolderUnlessAbsolute)
{
    const struct
    {
        const wchar_t* file;
        const wchar_t* ini;
        const wchar_t* expected;
    } cases[] = {
        {L"log.txt", L"C:\\Programme\\Glattmark\\glattmark.ini", L"C:\\Programme\\Glattmark\\log.txt"},
        {L"logs\\heute.txt", L"/opt/glattmark/glattmark.ini", L"/opt/glattmark/logs\\heute.txt"},
        {L"D:\\log.txt", L"C:\\g\\glattmark.ini", L"D:\\log.txt"},
        {L"\\\\server\\share\\log.txt", L"C:\\g\\glattmark.ini", L"\\\\server\\share\\log.txt"},
        {L"/var/log/g.txt", L"/opt/g/glattmark.ini", L"/var/log/g.txt"},
        {L"log.txt", L"glattmark.ini", L"log.txt"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(ui::ToUtf8(c.file));
        EXPECT_EQ(app::LogPathBesideIni(c.file, c.ini), c.expected);
    }
}

} // namespace
