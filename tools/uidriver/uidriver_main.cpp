// uidriver: starts glattmark.exe and works it from outside as a person would, through its windows and
// their controls only, then writes what it saw to a file. The end-to-end tests and the Windows example
// run it under Wine against simhost.exe.
//
//   uidriver PLAN.json
//
// PLAN.json (UTF-8) says what to start and how to answer, in the words of glattmark-sim's options:
//   { "program": "C:\\...\\glattmark.exe", "out": "C:\\...\\seen.json", "timeout": 60,
//     "caption": "...",  (optional: the dialog's caption, by default the program's)
//     "pause": "C:\\...\\folder",  (optional: wait at every window shown, below)
//     "command": "wscript.exe ...",  (optional: run this command line, which is to start the program, below)
//     "answers": { "kind": 1, "typeKind": "...", "method": "...", "rough": "...", "normFix": true,
//                  "leave": "ok" | "cancel" | "close", "hang": ["wait", "cancel"] } }
// Answers not given leave the dialog as the program proposed it; "leave" is "ok" unless given. "hang": the
// buttons pressed in the window that asks about a hung host ("Warten", "Abbrechen"), one per showing, in order.
//
// What it writes to "out": the dialog as first shown (as glattmark-sim's transcript has it) and after the
// answers, every message with its window ("error" the program's message window, "messagebox" a system
// message box, "hang" the question about a hung host), caption and text, answered with "Ok" (the hang
// window as planned); the program's exit code, the login name the program
// sees, seconds from the start to the dialog, to leaving it and to the end, and any problem met.
//
// "command": the driver runs this command line instead of starting the program itself, from its own working
// directory, and works the windows of the command and of the program the command started (a process of the
// program's file name whose parent is the command). The run ends when the command has ended and so has the
// program, if it was started. "out" then also holds "command": its exitCode and whether it started the
// program (programStarted); "exitCode" stays the program's.
//
// "pause": at every window it is about to read or answer, the driver writes NN-WINDOW.json into that
// folder (the window's place on the screen) and waits, at most kPauseTime, for NN-WINDOW.go beside it:
// time for a screenshot, or for a test to end the CAD session meanwhile.
//
// Exit status: 0 the program ran to its end and was worked as planned; 1 a problem (a timeout, after
// which the program is ended, or a control that did not answer); 2 an unusable plan.

#include "app/frm_main.h"
#include "app/hang_window_win32.h"
#include "app/main_dialog_win32.h"
#include "tools/uidriver/foreign_windows.h"
#include "ui/conversions.h"
#include "ui/message_window_win32.h"
#include "win32/handles.h"

#include <nlohmann/json.hpp>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;
using uidriver::WindowError;

constexpr int kExitDone = 0;
constexpr int kExitProblem = 1;
constexpr int kExitUnusable = 2;

constexpr DWORD kPollMilliseconds = 20;
/// How long the dialog must stand alone, enabled, before it counts as waiting for the user: a message the
/// start-up shows after the dialog comes within this time.
constexpr auto kSettleTime = std::chrono::milliseconds(100);
/// How long the picture may take to be painted.
constexpr auto kPaintTime = std::chrono::seconds(3);
constexpr auto kPauseTime = std::chrono::seconds(30);
/// How long the program may take to end after the timeout ended it.
constexpr DWORD kEndMilliseconds = 10000;

struct Answers
{
    std::optional<int> kind;
    std::optional<std::wstring> typeKind;
    std::optional<std::wstring> method;
    std::optional<std::wstring> rough;
    std::optional<bool> normFix;
    std::string leave = "ok";
    std::vector<std::string> hang; ///< "wait" or "cancel", one per showing of the hang window
};

struct Plan
{
    std::wstring program;
    std::wstring out;
    std::wstring pause;
    std::wstring caption = app::kCaption;
    std::wstring command;
    int timeoutSeconds = 60;
    Answers answers;
};

std::optional<std::wstring> OptionalText(const json& object, const char* key)
{
    if (!object.contains(key))
        return std::nullopt;
    return ui::FromUtf8(object.at(key).get<std::string>());
}

/// Throws json::exception or std::invalid_argument for an unusable plan.
Plan ReadPlan(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("plan not found");
    const json raw = json::parse(in);
    Plan plan;
    plan.program = ui::FromUtf8(raw.at("program").get<std::string>());
    plan.out = ui::FromUtf8(raw.at("out").get<std::string>());
    plan.pause = OptionalText(raw, "pause").value_or(L"");
    plan.caption = OptionalText(raw, "caption").value_or(plan.caption);
    plan.command = OptionalText(raw, "command").value_or(L"");
    plan.timeoutSeconds = raw.value("timeout", 60);
    const json answers = raw.value("answers", json::object());
    if (answers.contains("kind"))
        plan.answers.kind = answers.at("kind").get<int>();
    plan.answers.typeKind = OptionalText(answers, "typeKind");
    plan.answers.method = OptionalText(answers, "method");
    plan.answers.rough = OptionalText(answers, "rough");
    if (answers.contains("normFix"))
        plan.answers.normFix = answers.at("normFix").get<bool>();
    plan.answers.leave = answers.value("leave", std::string("ok"));
    if (plan.answers.leave != "ok" && plan.answers.leave != "cancel" && plan.answers.leave != "close")
        throw std::invalid_argument("leave must be ok, cancel or close");
    for (const json& answer : answers.value("hang", json::array()))
    {
        plan.answers.hang.push_back(answer.get<std::string>());
        if (plan.answers.hang.back() != "wait" && plan.answers.hang.back() != "cancel")
            throw std::invalid_argument("hang answers must be wait or cancel");
    }
    return plan;
}

json Texts(const std::vector<std::wstring>& texts)
{
    json array = json::array();
    for (const std::wstring& text : texts)
        array.push_back(ui::ToUtf8(text));
    return array;
}

enum class WindowKind
{
    Dialog,
    ErrorWindow,
    MessageBox,
    HangWindow,
    Other,
};

/// The dialog is known by its caption and its controls; the message window, which takes over the same
/// caption, by its own controls.
WindowKind KindOf(HWND window, const std::wstring& dialogCaption)
{
    if (uidriver::ClassOf(window) == L"#32770")
        return WindowKind::MessageBox;
    if (GetDlgItem(window, app::kIdSymbol) != nullptr && GetDlgItem(window, app::kIdOk) != nullptr &&
        uidriver::TextOf(window) == dialogCaption)
        return WindowKind::Dialog;
    if (GetDlgItem(window, ui::kMessageLabelId) != nullptr && GetDlgItem(window, ui::kMessageOkId) != nullptr)
        return WindowKind::ErrorWindow;
    if (uidriver::ClassOf(window) == app::kHangWindowClass)
        return WindowKind::HangWindow;
    return WindowKind::Other;
}

/// The dialog's controls, read as glattmark-sim's transcript records the dialog. picture is the bitmap
/// shown, recognised among the program's bitmaps 101 to 103 by its pixels (0: none of them).
json ReadDialog(HWND dialog, int picture)
{
    using namespace uidriver;
    HWND kind = Control(dialog, app::kIdSymbol);
    HWND rough = Control(dialog, app::kIdRough);
    HWND method = Control(dialog, app::kIdMethod);
    HWND normFix = Control(dialog, app::kIdNormFix);
    return {
        {"caption", ui::ToUtf8(TextOf(dialog))},
        {"kind",
         {{"items", Texts(ComboItems(kind))}, {"index", ComboSelection(kind)}, {"text", ui::ToUtf8(TextOf(kind))}}},
        {"picture", picture},
        {"rough", {{"items", Texts(ComboItems(rough))}, {"text", ui::ToUtf8(TextOf(rough))}}},
        {"roughLabel", ui::ToUtf8(TextOf(Control(dialog, app::kIdLabel3)))},
        {"method", {{"items", Texts(ComboItems(method))}, {"text", ui::ToUtf8(TextOf(method))}}},
        {"normFix",
         {{"visible", IsWindowVisible(normFix) != FALSE},
          {"enabled", IsWindowEnabled(normFix) != FALSE},
          {"checked", Checked(normFix)}}},
    };
}

class Driver
{
public:
    explicit Driver(const Plan& plan) : m_plan(plan) {}

    int Run()
    {
        m_pictures = uidriver::BitmapResources(m_plan.program,
                                               {app::kPictureBase, app::kPictureBase + 1, app::kPictureBase + 2});
        if (!Start())
            return Finish();
        const auto deadline = m_start + std::chrono::seconds(m_plan.timeoutSeconds);
        while (StillRunning())
        {
            if (Clock::now() > deadline)
            {
                Problem("timeout: the program did not end within " + std::to_string(m_plan.timeoutSeconds) + " s");
                for (const win32::UniqueHandle* process : {&m_command, &m_process})
                    if (*process)
                    {
                        TerminateProcess(process->Get(), 3);
                        WaitForSingleObject(process->Get(), kEndMilliseconds);
                    }
                break;
            }
            try
            {
                LookAtWindows();
            }
            catch (const WindowError& error)
            {
                // A window that went away between being found and being read is no problem; one that stays
                // and does not answer ends in the timeout.
                m_lastWindowError = error.what();
            }
        }
        DWORD exitCode = 0;
        if (m_process && GetExitCodeProcess(m_process.Get(), &exitCode) && exitCode != STILL_ACTIVE)
            m_seen["exitCode"] = exitCode;
        if (m_command)
        {
            m_seen["command"]["programStarted"] = static_cast<bool>(m_process);
            if (GetExitCodeProcess(m_command.Get(), &exitCode) && exitCode != STILL_ACTIVE)
                m_seen["command"]["exitCode"] = exitCode;
        }
        m_seen["seconds"]["ended"] = Seconds();
        return Finish();
    }

private:
    bool Start()
    {
        m_seen = {{"dialog", nullptr},
                  {"answered", nullptr},
                  {"messages", json::array()},
                  {"exitCode", nullptr},
                  {"problems", json::array()}};
        wchar_t user[256] = {};
        DWORD length = 256;
        m_seen["loginName"] = GetUserNameW(user, &length) ? ui::ToUtf8(user) : "";

        // In a job that ends with the driver: a driver stopped from outside leaves no program behind.
        m_job.Reset(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (m_job)
            SetInformationJobObject(m_job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

        m_start = Clock::now();
        if (!m_plan.command.empty())
        {
            m_seen["command"] = {{"exitCode", nullptr}, {"programStarted", false}};
            if (!StartProcess(nullptr, m_plan.command, nullptr, m_command, m_commandId))
            {
                Problem("the command does not start: error " + std::to_string(GetLastError()));
                return false;
            }
            return true;
        }
        const std::wstring folder = std::filesystem::path(m_plan.program).parent_path().wstring();
        if (!StartProcess(m_plan.program.c_str(), L"\"" + m_plan.program + L"\"", folder.c_str(), m_process,
                          m_processId))
        {
            Problem("the program does not start: error " + std::to_string(GetLastError()));
            return false;
        }
        return true;
    }

    /// Starts a process in the driver's job; folder nullptr: in the driver's working directory.
    bool StartProcess(const wchar_t* executable, std::wstring commandLine, const wchar_t* folder,
                      win32::UniqueHandle& process, DWORD& processId)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(executable, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder,
                            &startup, &started))
            return false;
        process.Reset(started.hProcess);
        const win32::UniqueHandle thread(started.hThread);
        processId = started.dwProcessId;
        if (m_job)
            AssignProcessToJobObject(m_job.Get(), process.Get());
        ResumeThread(thread.Get());
        return true;
    }

    /// Waits a moment for the end of the run: of the program, or with a command, of the command and of the
    /// program it started.
    bool StillRunning()
    {
        if (m_command)
        {
            if (!m_process)
                FindProgram();
            if (WaitForSingleObject(m_command.Get(), m_process ? 0 : kPollMilliseconds) == WAIT_TIMEOUT)
                return true;
            // The command started the program, if at all, before it ended.
            if (!m_process)
                FindProgram();
            if (!m_process)
                return false;
        }
        return WaitForSingleObject(m_process.Get(), kPollMilliseconds) == WAIT_TIMEOUT;
    }

    void FindProgram()
    {
        const std::wstring name = std::filesystem::path(m_plan.program).filename().wstring();
        const DWORD id = uidriver::ChildProcessNamed(m_commandId, name);
        if (id == 0)
            return;
        m_process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        if (m_process)
            m_processId = id;
    }

    void LookAtWindows()
    {
        std::vector<HWND> windows;
        for (DWORD id : {m_commandId, m_processId})
            if (id != 0)
                std::ranges::copy(uidriver::VisibleWindowsOf(id), std::back_inserter(windows));
        // A window answered and hidden may come back with another message.
        std::erase_if(m_answered,
                      [&windows](HWND w) { return std::find(windows.begin(), windows.end(), w) == windows.end(); });

        HWND dialog = nullptr;
        bool others = false;
        for (HWND window : windows)
        {
            if (m_answered.count(window) != 0)
                continue;
            switch (KindOf(window, m_plan.caption))
            {
            case WindowKind::Dialog:
                dialog = window;
                break;
            case WindowKind::ErrorWindow:
                AnswerMessage(window, "error", uidriver::TextOf(uidriver::Control(window, ui::kMessageLabelId)),
                              uidriver::Control(window, ui::kMessageOkId));
                others = true;
                break;
            case WindowKind::MessageBox:
                AnswerMessage(window, "messagebox", uidriver::StaticText(window), uidriver::ButtonWithId(window, IDOK));
                others = true;
                break;
            case WindowKind::HangWindow:
                AnswerMessage(
                    window, "hang", uidriver::TextOf(uidriver::Control(window, app::kHangLabelId)),
                    uidriver::Control(window, NextHangAnswer() == "cancel" ? app::kHangCancelId : app::kHangWaitId));
                others = true;
                break;
            case WindowKind::Other:
                others = true;
                if (m_unknown.insert(window).second)
                    Problem("a window nobody expects: class " + ui::ToUtf8(uidriver::ClassOf(window)) + ", caption \"" +
                            ui::ToUtf8(uidriver::TextOf(window)) + "\"");
                break;
            }
        }
        if (dialog == nullptr || m_left)
            return;
        if (m_seen["dialog"].is_null())
        {
            const double shownAt = Seconds();
            m_seen["dialog"] = ReadDialog(dialog, RecognisePicture(dialog));
            m_seen["seconds"]["dialogShown"] = shownAt;
        }
        // The dialog waits for the user once it stands alone and enabled for a moment.
        if (others || !IsWindowEnabled(dialog))
        {
            m_aloneSince.reset();
            return;
        }
        if (!m_aloneSince)
            m_aloneSince = Clock::now();
        if (Clock::now() - *m_aloneSince >= kSettleTime)
            AnswerDialog(dialog);
    }

    int RecognisePicture(HWND dialog)
    {
        HWND picture = uidriver::Control(dialog, app::kIdPicture);
        const auto until = Clock::now() + kPaintTime;
        int found = 0;
        while ((found = uidriver::FindBitmap(uidriver::ScreenPixels(picture), m_pictures)) == 0 && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (found == 0)
            Problem("the kind's picture is none of the program's bitmaps");
        return found;
    }

    /// The planned answer to the hang window's next showing; "wait" (and a problem) past the plan.
    std::string NextHangAnswer()
    {
        if (m_hangAnswers >= m_plan.answers.hang.size())
        {
            Problem("the hang window came once more than planned");
            return "wait";
        }
        return m_plan.answers.hang[m_hangAnswers++];
    }

    void AnswerDialog(HWND dialog)
    {
        // Once only, whatever happens: answers given twice would not be the plan's.
        m_left = true;
        try
        {
            Pause(dialog, "dialog");
            Answer(dialog);
        }
        catch (const WindowError& error)
        {
            Problem(std::string("the dialog could not be answered: ") + error.what());
        }
    }

    void Answer(HWND dialog)
    {
        using namespace uidriver;
        const Answers& answers = m_plan.answers;
        if (answers.kind)
            ChooseEntry(Control(dialog, app::kIdSymbol), *answers.kind);
        if (answers.typeKind)
            TypeInto(Control(dialog, app::kIdSymbol), *answers.typeKind);
        if (answers.method)
            TypeInto(Control(dialog, app::kIdMethod), *answers.method);
        if (answers.rough)
            TypeInto(Control(dialog, app::kIdRough), *answers.rough);
        HWND normFix = Control(dialog, app::kIdNormFix);
        // A person can click only a box that is there and enabled.
        if (answers.normFix && *answers.normFix != Checked(normFix) && IsWindowVisible(normFix) &&
            IsWindowEnabled(normFix))
            Click(normFix);
        // The click is posted: its effect is read once the dialog has taken it.
        SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(kAnswerTime.count()), nullptr);
        m_seen["answered"] = ReadDialog(dialog, RecognisePicture(dialog));
        m_seen["seconds"]["left"] = Seconds();
        if (answers.leave == "ok")
            Click(Control(dialog, app::kIdOk));
        else if (answers.leave == "cancel")
            Click(Control(dialog, app::kIdCancel));
        else
            CloseBox(dialog);
    }

    void AnswerMessage(HWND window, const char* kind, const std::wstring& text, HWND ok)
    {
        const std::wstring caption = uidriver::TextOf(window);
        m_answered.insert(window);
        m_seen["messages"].push_back({{"window", kind}, {"caption", ui::ToUtf8(caption)}, {"text", ui::ToUtf8(text)}});
        Pause(window, kind);
        if (ok == nullptr)
        {
            Problem(std::string("the ") + kind + " window has no Ok button");
            uidriver::CloseBox(window);
        }
        else
            uidriver::Click(ok);
    }

    /// Tells the pause folder which window stands where, and waits for the go.
    void Pause(HWND window, const std::string& name)
    {
        if (m_plan.pause.empty())
            return;
        char number[8];
        std::snprintf(number, sizeof number, "%02d-", ++m_pauses);
        const std::filesystem::path folder(m_plan.pause);
        const std::filesystem::path base = folder / (number + name);
        RECT place{};
        GetWindowRect(window, &place);
        {
            std::ofstream note(std::filesystem::path(base).concat(L".json.part"), std::ios::binary);
            note << json{{"window", name}, {"rect", {place.left, place.top, place.right, place.bottom}}}.dump() << "\n";
        }
        std::error_code ignored;
        std::filesystem::rename(std::filesystem::path(base).concat(L".json.part"),
                                std::filesystem::path(base).concat(L".json"), ignored);
        const auto until = Clock::now() + kPauseTime;
        while (!std::filesystem::exists(std::filesystem::path(base).concat(L".go"), ignored))
        {
            if (Clock::now() > until)
            {
                Problem("no go for " + name + " in the pause folder");
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Problem(const std::string& text) { m_seen["problems"].push_back(text); }

    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

    int Finish()
    {
        if (!m_lastWindowError.empty() && !m_seen["problems"].empty())
            Problem("last window error: " + m_lastWindowError);
        m_process.Reset();
        m_command.Reset();
        m_job.Reset();
        std::ofstream out(std::filesystem::path(m_plan.out), std::ios::binary | std::ios::trunc);
        out << m_seen.dump(2) << "\n";
        if (!out)
            return kExitProblem;
        return m_seen["problems"].empty() ? kExitDone : kExitProblem;
    }

    const Plan& m_plan;
    json m_seen;
    std::map<int, uidriver::Pixels> m_pictures;
    win32::UniqueHandle m_job; ///< ends the program with the driver
    win32::UniqueHandle m_process;
    DWORD m_processId = 0;
    win32::UniqueHandle m_command; ///< with a command: the command, which starts the program
    DWORD m_commandId = 0;
    Clock::time_point m_start;
    std::set<HWND> m_answered;
    std::set<HWND> m_unknown;
    std::optional<Clock::time_point> m_aloneSince;
    bool m_left = false;
    int m_pauses = 0;
    std::size_t m_hangAnswers = 0;
    std::string m_lastWindowError;
};

} // namespace

int main()
{
    int count = 0;
    LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring planPath = raw != nullptr && count == 2 ? raw[1] : L"";
    LocalFree(raw);
    if (planPath.empty())
    {
        std::fputs("Aufruf: uidriver PLAN.json\n", stderr);
        return kExitUnusable;
    }
    Plan plan;
    try
    {
        plan = ReadPlan(planPath);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "uidriver: Plan unbrauchbar: %s\n", error.what());
        return kExitUnusable;
    }
    try
    {
        return Driver(plan).Run();
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "uidriver: %s\n", error.what());
        return kExitProblem;
    }
}
