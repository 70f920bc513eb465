// Runs the whole program, start-up to the written row, on an A3 sheet carrying 200 distinct surface-finish
// symbols and 200 repeats of them, and prints how often each host member was called (per symbol on the
// sheet) and how long the run took (per symbol). It prints figures only; it never fails on a slow machine.
//
//   glattmark-benchmark [RUNS] [--ini FILE]
//   glattmark-benchmark --write-session FILE
//
// The second form only writes the sheet's session file, for runs of the Windows program on the same sheet
// (tools/benchmark/windows_benchmark.py).
//
// The times include the simulated host's own work, which is in memory and small against a real host's
// cross-process calls: on the real host the call counts, not these times, decide how long a run takes.

#include "app/frm_main.h"
#include "app/run.h"
#include "app/sim/sim_command_line.h"
#include "app/sim/sim_platform.h"
#include "app/sim/terminal_dialog.h"
#include "config/profile_file.h"
#include "host/sim/sim_connector.h"
#include "host/sim/sim_session.h"
#include "symbols/text_measurer_freetype.h"
#include "ui/conversions.h"
#include "ui/message_window_terminal.h"
#include "ui/platform_posix.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int kDistinct = 200;
constexpr int kRepeats = 200;
constexpr int kSymbolsOnSheet = kDistinct + kRepeats;

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

json Symbol(int number, int variant, double x, double y)
{
    // 20 roughness values x 10 methods: every variant differs from every other in what the row shows.
    static const char* const kValues[] = {"0,025", "0,05", "0,1",  "0,2", "0,4", "0,8", "1,6", "3,2", "6,3", "12,5",
                                          "25",    "50",   "0,03", "0,3", "0,6", "1",   "2",   "4",   "8",   "16"};
    static const char* const kMethods[] = {"",        "gedreht", "geschliffen", "gehont",   "gefräst",
                                           "poliert", "gebohrt", "gerieben",    "erodiert", "gestrahlt"};
    json texts = json::object();
    texts["3"] = "Ra";
    texts["4"] = kValues[variant % 20];
    if (variant / 20 > 0)
        texts["2"] = kMethods[variant / 20];
    return {{"name", "Oberflächensymbol" + std::to_string(number)},
            {"type", 1},
            {"allAround", false},
            {"direction", 0},
            {"texts", texts},
            {"x", x},
            {"y", y},
            {"textFormat", {{"typeFaceName", "Arial"}, {"charHeight", 0.0035}, {"bold", false}}}};
}

/// The session: the distinct symbols on the sheet, their repeats in a view.
std::string BenchmarkSession()
{
    json onSheet = json::array();
    json inView = json::array();
    for (int i = 0; i < kDistinct; ++i)
        onSheet.push_back(Symbol(i + 1, i, 0.02 + 0.0018 * i, 0.2));
    for (int i = 0; i < kRepeats; ++i)
        inView.push_back(Symbol(kDistinct + i + 1, i % kDistinct, 0.02 + 0.0018 * i, 0.15));
    const json sheet = {{"name", "Blatt1"},
                        {"properties", {8, 8, 1, 1, 0, 0.42, 0.297}},
                        {"symbols", onSheet},
                        {"notes", json::array()},
                        {"views", json::array({{{"name", "Zeichenansicht1"},
                                                {"referencedModel", "C:\\Modelle\\Welle.SLDPRT"},
                                                {"symbols", inView},
                                                {"notes", json::array()}}})}};
    const json session = {
        {"format", "glattmark-cad-session/1"},
        {"running", true},
        {"application", {{"toggles", {{"24", true}}}}},
        {"activeDocument", 0},
        {"documents",
         json::array({{{"path", "C:\\Zeichnungen\\Welle.SLDDRW"},
                       {"type", 3},
                       {"currentSheet", "Blatt1"},
                       {"textFormats", {{"0", {{"typeFaceName", "Arial"}, {"charHeight", 0.0035}, {"bold", false}}}}},
                       {"sheets", json::array({sheet})}}})}};
    return session.dump();
}

struct RunFigures
{
    double startSeconds = 0; // start-up: configuration, attaching, scan, layout, dialog
    double okSeconds = 0;    // Ok: removal, Normfix, row
    std::map<std::string, std::int64_t> calls;
    std::int64_t totalCalls = 0;
    std::string ending;
    std::int64_t symbolsAfter = 0;
};

RunFigures RunOnce(const std::string& sessionText, const std::wstring& iniPath, symbols::FreeTypeMeasurer& measurer)
{
    const auto session = host::sim::SimSession::Parse(sessionText);
    ui::PosixPlatform posixPlatform;
    app::sim::SimPlatform platform(posixPlatform, std::wstring(L"KONSTRUKTEUR"), L',');
    config::FileProfileStore profiles(L'/');
    host::sim::SimConnector connector(session);
    std::ostringstream shown; // messages are kept off the terminal; errors are reported below
    std::wstring error;
    ui::TerminalMessageWindow messageWindow(shown,
                                            [&error](const std::wstring&, const std::wstring& text) { error = text; });
    ui::TerminalReportBox reportBox(shown, {});
    const app::Ports ports{messageWindow, reportBox, platform, measurer, profiles, connector};
    app::Run run(ports, iniPath);
    app::sim::SimDialogView view;
    app::frmMain form(run, view);

    RunFigures figures;
    const auto start = Clock::now();
    form.Form_Load();
    const auto shownAt = Clock::now();
    if (!form.Ended())
        app::sim::LeaveDialog(form, app::sim::SimAnswer::Ok);
    const auto end = Clock::now();
    figures.startSeconds = std::chrono::duration<double>(shownAt - start).count();
    figures.okSeconds = std::chrono::duration<double>(end - shownAt).count();
    figures.calls = session->CallsByMember();
    figures.totalCalls = session->TotalCalls();
    figures.ending = app::EndingName(form.RunEnding());
    if (!error.empty())
        figures.ending += " (" + ui::ToUtf8(error) + ")";
    for (const auto& sheet : session->ActiveDocument()->sheets)
    {
        figures.symbolsAfter += static_cast<std::int64_t>(sheet.symbols.size());
        for (const auto& sheetView : sheet.views)
            figures.symbolsAfter += static_cast<std::int64_t>(sheetView.symbols.size());
    }
    return figures;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Benchmark(int runs, const std::wstring& iniPath)
{
    const std::string sessionText = BenchmarkSession();
    symbols::FreeTypeMeasurer measurer; // one per process, as in the program: faces stay cached

    std::vector<double> startTimes;
    std::vector<double> okTimes;
    RunFigures first;
    for (int i = 0; i < runs; ++i)
    {
        RunFigures figures = RunOnce(sessionText, iniPath, measurer);
        startTimes.push_back(figures.startSeconds);
        okTimes.push_back(figures.okSeconds);
        if (i == 0)
            first = std::move(figures);
    }

    std::printf(
        "Sheet: %d distinct symbols, %d repeats (%d symbols); %d runs; ending \"%s\"; %lld symbols afterwards\n\n",
        kDistinct, kRepeats, kSymbolsOnSheet, runs, first.ending.c_str(), static_cast<long long>(first.symbolsAfter));
    std::printf("Host calls of one run, by member\n");
    std::printf("  %-32s %10s %12s\n", "member", "calls", "per symbol");
    for (const auto& [member, count] : first.calls)
        std::printf("  %-32s %10lld %12.3f\n", member.c_str(), static_cast<long long>(count),
                    static_cast<double>(count) / kSymbolsOnSheet);
    std::printf("  %-32s %10lld %12.3f\n\n", "total", static_cast<long long>(first.totalCalls),
                static_cast<double>(first.totalCalls) / kSymbolsOnSheet);

    const double start = Median(startTimes);
    const double ok = Median(okTimes);
    std::printf("Time (median of %d runs, simulated host included)\n", runs);
    std::printf("  start-up to dialog  %9.3f ms  %8.2f us per symbol\n", start * 1e3, start * 1e6 / kSymbolsOnSheet);
    std::printf("  Ok to written row   %9.3f ms  %8.2f us per symbol\n", ok * 1e3, ok * 1e6 / kSymbolsOnSheet);
    std::printf("  whole run           %9.3f ms  %8.2f us per symbol\n", (start + ok) * 1e3,
                (start + ok) * 1e6 / kSymbolsOnSheet);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        int runs = 20;
        std::wstring iniPath = ui::FromUtf8(GLM_EXAMPLE_INI);
        for (int i = 1; i < argc; ++i)
        {
            const std::string arg = argv[i];
            if (arg == "--write-session" && i + 1 < argc)
            {
                std::ofstream out(argv[i + 1], std::ios::binary);
                out << json::parse(BenchmarkSession()).dump(1) << '\n';
                if (out)
                    return 0;
                std::cerr << "glattmark-benchmark: " << argv[i + 1] << " kann nicht geschrieben werden\n";
                return 1;
            }
            if (arg == "--ini" && i + 1 < argc)
                iniPath = ui::FromUtf8(argv[++i]);
            else if (arg.find_first_not_of("0123456789") == std::string::npos && arg.size() < 6 && std::stoi(arg) > 0)
                runs = std::stoi(arg);
            else
            {
                std::cerr << "Aufruf: glattmark-benchmark [DURCHL\u00c4UFE] [--ini DATEI] | --write-session DATEI\n";
                return 2;
            }
        }
        return Benchmark(runs, iniPath);
    }
    catch (const std::exception& error)
    {
        std::cerr << "glattmark-benchmark: " << error.what() << '\n';
        return 1;
    }
}
