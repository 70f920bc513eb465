// The COM adapter against simhost.exe in another process, found through the running object table: the
// connection glattmark.exe makes to the real session. Each test starts its own simhost and stops it; one
// simhost runs at a time (ctest's resource lock "simhost"), since all of them register the same class.
#include "host/com/com_connector.h"
#include "host/sim/sim_connector.h"
#include "host/sw_access.h"
#include "tests/host/com_support.h"
#include "ui/error_object.h"
#include "win32/handles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace
{

using Clock = std::chrono::steady_clock;
using json = nlohmann::json;

/// How long simhost may take to start or to stop, and a call on a server that has gone away to fail.
constexpr auto kBound = std::chrono::seconds(30);

/// simhost.exe serving a session in folder, from its start until Stop (or the end of this object, which
/// stops it too and kills it when it does not stop in time).
class SimHostProcess
{
public:
    SimHostProcess(const std::filesystem::path& folder, const std::string& sessionJson) : m_folder(folder)
    {
        std::ofstream(folder / "session.json", std::ios::binary) << sessionJson;
        static int started = 0;
        const std::wstring eventName =
            L"GlattmarkSimHostTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++started);
        m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        const auto quoted = [](const std::filesystem::path& path) { return L"\"" + path.wstring() + L"\""; };
        std::wstring commandLine = quoted(com_tests::WinePath(GLM_SIMHOST_EXE)) + L" " +
                                   quoted(folder / "session.json") + L" --out " + quoted(folder / "out.json") +
                                   L" --ready " + quoted(folder / "ready") + L" --stop-event " + eventName +
                                   L" --idle 20";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
        {
            ADD_FAILURE() << "simhost.exe does not start: " << GetLastError();
            return;
        }
        m_process.Reset(process.hProcess);
        CloseHandle(process.hThread);
        const auto deadline = Clock::now() + kBound;
        while (!std::filesystem::exists(folder / "ready"))
        {
            if (WaitForSingleObject(m_process.Get(), 50) == WAIT_OBJECT_0 || Clock::now() > deadline)
            {
                ADD_FAILURE() << "simhost.exe never served the session";
                return;
            }
        }
    }
    SimHostProcess(const SimHostProcess&) = delete;
    SimHostProcess& operator=(const SimHostProcess&) = delete;
    ~SimHostProcess()
    {
        if (m_process)
            Stop();
    }

    /// Ends simhost as a crash would: no revocation, no disconnection, nothing written.
    void Kill()
    {
        m_stopped = true;
        TerminateProcess(m_process.Get(), 99);
        WaitForSingleObject(m_process.Get(), static_cast<DWORD>(std::chrono::milliseconds(kBound).count()));
    }

    /// Asks simhost to stop and returns the session it wrote back (null when it wrote none).
    json Stop()
    {
        if (!m_process || m_stopped)
            return nullptr;
        m_stopped = true;
        SetEvent(m_stop.Get());
        const auto waitMs = static_cast<DWORD>(std::chrono::milliseconds(kBound).count());
        if (WaitForSingleObject(m_process.Get(), waitMs) != WAIT_OBJECT_0)
        {
            ADD_FAILURE() << "simhost.exe did not stop in time";
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), waitMs);
            return nullptr;
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(m_process.Get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
        std::ifstream in(m_folder / "out.json", std::ios::binary);
        return in ? json::parse(in) : json(nullptr);
    }

private:
    std::filesystem::path m_folder;
    win32::UniqueHandle m_stop;
    win32::UniqueHandle m_process;
    bool m_stopped = false;
};

/// What simhost's stats must show after any run: one lookup per member and kind, only the argument types
/// of the typed interface, every reference given back.
void ExpectCleanStats(const json& session)
{
    ASSERT_TRUE(session.is_object());
    const json& stats = session.at("stats");
    EXPECT_EQ(com_tests::RepeatedLookups(stats.at("lookups")), std::vector<std::string>{});
    for (const auto& [signature, count] : com_tests::Signatures(stats.at("callLog")))
        EXPECT_NE(signature.rfind("unexpected", 0), 0u) << signature;
    EXPECT_EQ(stats.at("objectsHeldByClients"), 0);
    EXPECT_EQ(stats.at("stop"), "event");
}

TEST(ComCrossProcess, AttachReadTheSheetAndWriteASymbol)
{
    host::com::ComApartment apartment;
    SimHostProcess simhost(com_tests::ScratchFolder("attach"), com_tests::Example("erster-lauf.json"));
    {
        host::com::ComConnector connector;
        const auto application = connector.GetActiveObject(host::kProgId);
        ASSERT_NE(application, nullptr);
        const auto drawing = host::Require(application->ActiveDoc(), "ActiveDoc")->AsDrawing();
        const auto sheet = host::Require(drawing->GetCurrentSheet(), "GetCurrentSheet");
        EXPECT_EQ(sheet->GetName(), L"Blatt1");
        EXPECT_EQ(sheet->GetProperties(), (std::vector<double>{8, 8, 1, 1, 0, 0.42, 0.297}));

        EXPECT_TRUE(drawing->SelectByID(L"Blatt1", L"SHEET", 0.1, 0.05, 0));
        const auto symbol = host::Require(
            host::Require(drawing->Extension(), "Extension")
                ->InsertSurfaceFinishSymbol3(1, 0, 0, 0, 0, 0, 1, L"", L"3,2", L"gefr\u00e4st", L"Ra", L"", L"", L""),
            "InsertSurfaceFinishSymbol3");
        EXPECT_TRUE(symbol->SetText(9, std::nullopt));
        EXPECT_TRUE(host::Require(symbol->GetAnnotation(), "GetAnnotation")->SetName(L"glmSymbol99"));
    }

    const json session = simhost.Stop();
    ExpectCleanStats(session);
    json written;
    for (const auto& s : session.at("documents")[0].at("sheets")[0].at("symbols"))
        if (s.at("name") == "glmSymbol99")
            written = s;
    ASSERT_TRUE(written.is_object());
    EXPECT_EQ(written.at("x"), 0.1);
    EXPECT_EQ(written.at("y"), 0.05);
    EXPECT_EQ(written.at("texts").at("2"), "gefr\u00e4st");
    EXPECT_EQ(written.at("texts").at("4"), "3,2");
    EXPECT_TRUE(written.at("texts").at("9").is_null());
}

TEST(ComCrossProcess, WholeRunOnTheFirstExampleCallsTheHostAsTheSimulatedSession)
{
    const std::string example = com_tests::Example("erster-lauf.json");
    const auto direct = host::sim::SimSession::Parse(example);
    host::sim::SimConnector directConnector(direct);
    com_tests::ProgramRun(directConnector, com_tests::ScratchFolder("whole-direct"));
    json expected = json::parse(direct->Serialize());

    host::com::ComApartment apartment;
    SimHostProcess simhost(com_tests::ScratchFolder("whole-com"), example);
    double seconds = 0;
    {
        host::com::ComConnector connector;
        const auto start = Clock::now();
        com_tests::ProgramRun run(connector, com_tests::ScratchFolder("whole-com-ini"));
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_EQ(run.form->RunEnding(), app::Ending::Ok);
        EXPECT_TRUE(run.messageWindow.shown.empty());
    }
    json session = simhost.Stop();
    ExpectCleanStats(session);
    EXPECT_EQ(session["stats"]["calls"], expected["stats"]["calls"]);
    EXPECT_EQ(session["stats"]["rebuilds"], expected["stats"]["rebuilds"]);
    const json stats = session["stats"];
    session.erase("stats");
    expected.erase("stats");
    EXPECT_EQ(session, expected);

    // The figures of a run across processes under Wine.
    const auto calls = stats["calls"]["total"].get<double>();
    const auto lookups = stats["lookups"]["total"].get<double>();
    const json figures = {{"example", "erster-lauf.json"},
                          {"calls", calls},
                          {"lookups", lookups},
                          {"seconds", seconds},
                          {"msPerRoundTrip", 1000 * seconds / (calls + lookups)}};
    std::ofstream(com_tests::BinaryDir() / "com-tests" / "whole-run-figures.json") << figures.dump(2) << "\n";
    std::printf("whole run across processes: %s\n", figures.dump().c_str());
}

/// The failure of a call on a server that has gone, checked to come at once.
template <typename Call> void ExpectServerGone(Call&& call)
{
    const auto start = Clock::now();
    try
    {
        call();
        ADD_FAILURE() << "a call reached a server that has gone";
    }
    catch (const host::Error& error)
    {
        const auto code = static_cast<HRESULT>(error.Code());
        EXPECT_TRUE(code == RPC_E_DISCONNECTED || code == CO_E_OBJNOTCONNECTED ||
                    code == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE))
            << error.what();
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(ComCrossProcess, AServerThatHasGoneFailsEveryCallWithoutHanging)
{
    host::com::ComApartment apartment;
    const std::string part = R"({ "format": "glattmark-cad-session/1", "activeDocument": 0,
        "documents": [ { "path": "C:\\Welle.SLDPRT", "type": 1 } ],
        "faults": [ { "member": "GetType", "occurrence": 1, "effect": "error" },
                    { "afterCalls": 3, "effect": "disconnect" } ] })";
    host::com::ComConnector connector;
    {
        SimHostProcess simhost(com_tests::ScratchFolder("gone-fault"), part);
        const auto application = connector.GetActiveObject(host::kProgId);
        ASSERT_NE(application, nullptr);
        const auto document = host::Require(application->ActiveDoc(), "ActiveDoc");
        try
        {
            document->GetType();
            ADD_FAILURE() << "the injected failure did not arrive";
        }
        catch (const host::Error& error)
        {
            // The server's text crossed the process boundary.
            EXPECT_NE(std::string(error.what()).find("injected failure of call 1"), std::string::npos) << error.what();
        }
        EXPECT_EQ(document->GetType(), host::kPart);
        // The session's disconnect fault: every later call fails as on a dead server.
        ExpectServerGone([&] { document->GetType(); });

        // Stopped, the server cuts off the objects the program still holds.
        (void)simhost.Stop();
        ExpectServerGone([&] { application->GetExecutablePath(); });
    }
    {
        SimHostProcess simhost(com_tests::ScratchFolder("gone-crash"), part);
        const auto application = connector.GetActiveObject(host::kProgId);
        ASSERT_NE(application, nullptr);
        simhost.Kill();
        ExpectServerGone([&] { application->ActiveDoc(); });
        // Attaching again, at once: the running object table no longer lists the crashed server (Wine drops
        // it as the process ends), which is no session; or, where the table lists it a while yet, its object is
        // found and its first call fails as on a server that has gone.
        const auto start = Clock::now();
        if (const auto stale = connector.GetActiveObject(host::kProgId))
            ExpectServerGone([&] { stale->ActiveDoc(); });
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(ComCrossProcess, NoSessionRunningAndAnUnknownProgIdAreNoSession)
{
    host::com::ComApartment apartment;
    SimHostProcess simhost(com_tests::ScratchFolder("not-running"),
                           R"({ "format": "glattmark-cad-session/1", "running": false })");
    host::com::ComConnector connector;
    testing_support::RecordingMessageWindow window;
    ui::ErrorObject cc(window);
    host::swAccess access(cc, connector);
    access.Link(nullptr);
    EXPECT_EQ(access.swApp, nullptr);
    EXPECT_EQ(cc.Description(), L"Keine laufende SolidWorks-Sitzung gefunden.");
    EXPECT_EQ(connector.GetActiveObject(L"Glattmark.Unbekannt"), nullptr);
}

} // namespace
