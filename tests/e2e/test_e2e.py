"""End to end under Wine: glattmark.exe against simhost.exe, worked through its real windows, checked
against glattmark-sim on the same files and answers.

    python3 test_e2e.py --list
    python3 test_e2e.py SCENARIO --build DIR --sim PATH

Each scenario runs the Windows program once (tools/uidriver/wine_harness.py) and glattmark-sim once, and
checks that the session simhost wrote back equals glattmark-sim's (the same annotations, names, texts,
fonts and selection, the same calls by member, positions within 0.1 mm: GDI and FreeType measure a text a
little differently), that the dialog showed what glattmark-sim proposes and the same messages came, that
every host call had the argument types of the COM tests' table and every member name was looked up once
per object kind, and that no annotation of the user was lost.

Exit status 0 passed, 1 failed, 77 skipped (no glattmark-sim outside CI; in CI that fails).
"""

import argparse
import copy
import json
import os
import shutil
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "uidriver"))
import wine_harness as harness  # noqa: E402

SKIPPED = 77
POSITION_TOLERANCE = 1e-4  # metres
POSITION_KEYS = {"x", "y"}
# What only the COM side records, beside the calls both count.
COM_ONLY_STATS = {"lookups", "callLog", "objectsHeldByClients", "stop", "refusedAsBusy"}


def example(name):
    with open(os.path.join(harness.SOURCE_DIR, "examples", name), encoding="utf-8") as file:
        return json.load(file)


def with_faults(session, *faults):
    changed = copy.deepcopy(session)
    changed["faults"] = list(faults)
    return changed


def with_sheet_properties(session, properties):
    changed = copy.deepcopy(session)
    changed["documents"][0]["sheets"][0]["properties"] = properties
    return changed


FIRST = example("erster-lauf.json")
SECOND = example("zweiter-lauf.json")
PART = {"format": "glattmark-cad-session/1", "activeDocument": 0,
        "documents": [{"path": "C:\\Modelle\\Welle.SLDPRT", "type": 1}]}


def with_part_first(session):
    """The session with a part open before its drawing, the drawing still the active document."""
    changed = copy.deepcopy(session)
    changed["documents"].insert(0, copy.deepcopy(PART["documents"][0]))
    changed["activeDocument"] = changed.get("activeDocument", 0) + 1
    return changed


BUSY_MESSAGE = ("SolidWorks ist besch\u00e4ftigt und nimmt keine Auftr\u00e4ge an. Bitte den laufenden Befehl in "
                "SolidWorks beenden und Glattmark erneut starten. Die Zeichnung wurde %s.")
HOST_FAILURE_UNTOUCHED = ("Die Verbindung zur SolidWorks-Sitzung ist unterbrochen oder ein Aufruf ist fehlgeschlagen. "
                          "Die Zeichnung wurde nicht ge\u00e4ndert.")

# name: the session, glattmark-sim's answer options, and what the scenario may change. "user": the
# user's annotations may change (Normfix corrects them); "nothing": the session stays as it was.
# "ini": replacements in the example glattmark.ini.
# "uncallable": calls glattmark-sim counts that the Windows program cannot make, by member.
# "message": the one error message the run must show.
# "package": the program and its INI files come from the Windows package, unpacked.
# "macro": the package's macro starts the program, run by Wine's script host as SolidWorks runs it from a
# button: "program" beside it, "no program" with glattmark.exe removed, "no path" with an application that
# names no macro path. Only with "program" is there a run of glattmark.exe to compare with glattmark-sim.
# "kill": simhost is killed while the dialog is open; glattmark-sim meets a host gone after the calls of
# the start-up instead.
# "log": the log of host calls both programs write beside their glattmark.ini; "no-log": the folder of a
# log that cannot be written, and so is not.
# "busy": (where, seconds) pairs: the host refuses every call for that long, in the middle of the start-up's
# calls ("scan") or 20 calls into the row ("row"); glattmark-sim gets the same faults.
# "hang": the answers to the hang window, in order; the session's hang faults make it come.
# "abandons": the program gives a hung call up and ends its own process: it cannot release what the host
# handed it, and glattmark-sim, which never hangs, has nothing to compare with.
MACRO_NO_PROGRAM = ("glattmark.exe wurde nicht gefunden. Gesucht im Ordner des Makros:\r\n{folder}\r\n\r\n"
                    "Das Makro muss im selben Ordner wie glattmark.exe liegen.")
MACRO_NO_PATH = ("Der Ordner dieses Makros ist unbekannt: SolidWorks nennt keinen Makropfad.\r\n"
                 "Bitte glattmark.exe direkt starten.")
# What the macro itself asks the application, beside the program's calls.
MACRO_CALLS = {"GetCurrentMacroPathName": 1}

SCENARIOS = {
    "first-run": dict(session=FIRST, options=[]),
    "second-run": dict(session=SECOND, options=[]),
    # The first deletion of the earlier row fails: the run ends before the insertion, the sheet as it was.
    "removal-fails": dict(
        session=with_faults(SECOND, {"member": "DeleteSelection", "occurrence": 1, "effect": "error"}), options=[],
        changes="nothing",
        message="Die vorhandene Zeile konnte nicht entfernt werden. Es wurde keine neue Zeile geschrieben."),
    # The scan misses the earlier row (the sheet's second symbol, its summary, is not handed out), so that the
    # host refuses the new summary its name: the new symbol is deleted again and the run ends with a message.
    "name-refused": dict(session=with_faults(SECOND, {"member": "GetNext", "occurrence": 1, "effect": "nothing"}),
                         options=[], message="Oberflächensymbole konnten nicht korrekt erstellt werden."),
    # Normfix is checked and disabled for a user who is not a super user: --normfix 0 cannot change it.
    "normfix": dict(session=example("normfix.json"), changes="user",
                    options=["--kind", "0", "--method", "geschliffen", "--rough", "1,6", "--normfix", "0"]),
    # With no super users anybody may uncheck it: no correction, no report.
    "normfix-unchecked": dict(session=example("normfix.json"), ini={"SuperUser=2": "SuperUser=0"},
                              options=["--normfix", "0"]),
    "user-defined-format": dict(session=example("eigenes-format.json"),
                                options=["--kind", "2", "--type-kind", "Grundlegend", "--rough", "12,5"]),
    "cancel": dict(session=FIRST, options=["--cancel"], changes="nothing"),
    "close-box": dict(session=FIRST, options=["--close"], changes="nothing"),
    "no-session": dict(session={"format": "glattmark-cad-session/1", "running": False}, options=[],
                       changes="nothing"),
    "part-not-drawing": dict(session=PART, options=[], changes="nothing"),
    "unknown-format": dict(session=with_sheet_properties(FIRST, [12, 12, 1, 1, 0, 0.5, 0.35]), options=[],
                           changes="nothing"),
    "host-failure-mid-row": dict(
        session=with_faults(FIRST, {"member": "InsertSurfaceFinishSymbol3", "occurrence": 2, "effect": "error"}),
        options=[]),
    # The 100th call inserts the second symbol of the row, which the host, gone, can neither name nor delete
    # again. Gone, it answers no name lookup either: the application's SetUserPreferenceToggle, which turns
    # toggle 24 on again and is looked up only then, is never called on Windows, while glattmark-sim counts its
    # failing call.
    "server-gone-mid-row": dict(session=with_faults(FIRST, {"afterCalls": 100, "effect": "disconnect"}), options=[],
                                uncallable={"SetUserPreferenceToggle": 1}),
    "server-killed": dict(session=FIRST, options=[], kill=True),
    # The package unpacked: glattmark.exe runs in its folder and finds the INI beside it.
    "package": dict(session=FIRST, options=[], package=True),
    # The same row as the package's program started directly.
    "macro": dict(session=FIRST, options=[], package=True, macro="program"),
    "macro-without-program": dict(session=FIRST, options=[], package=True, macro="no program", changes="nothing",
                                  message=MACRO_NO_PROGRAM),
    "macro-path-unknown": dict(session=FIRST, options=[], package=True, macro="no path", changes="nothing",
                               message=MACRO_NO_PATH),
    # Form=1: the brackets hold one plain basic symbol instead of the sheet's three.
    "simplified": dict(session=example("vereinfacht.json"), ini={";Form=0": "Form=1"}, options=[]),
    # Scope=1: the second sheet's views come through GetViews over COM; its symbols join the list, Normfix
    # corrects one of them there (so the user's annotations change), and its earlier row stays.
    "whole-drawing": dict(session=example("vereinfacht.json"), ini={";Scope=0": "Scope=1"}, changes="user",
                          options=[]),
    # [main] LogFile: every call simhost served is in the log, with its argument types and answer; the second
    # symbol of the row fails, so that a failed call with the host's text, the message and the ending are too.
    "log": dict(session=with_faults(FIRST, {"member": "InsertSurfaceFinishSymbol3", "occurrence": 2,
                                            "effect": "error"}),
                ini={";LogFile=": "LogFile=glattmark.log"}, options=[], log="glattmark.log"),
    # A log in a folder that does not exist: the run is the run without a log, the document's path unasked.
    "log-unwritable": dict(session=FIRST, ini={";LogFile=": "LogFile=fehlt/glattmark.log"}, options=[],
                           no_log="fehlt"),
    # A host busy for less than BusyTimeout changes nothing: the same session, the same calls.
    "busy-briefly": dict(session=FIRST, busy=[("scan", 2), ("row", 2)], options=[]),
    # Busy longer than BusyTimeout: the scan ends with the busy message, the sheet untouched; in the row the
    # message names the sheet as perhaps partly changed.
    "busy-in-scan": dict(session=FIRST, busy=[("scan", 10)], ini={";BusyTimeout=30": "BusyTimeout=3"}, options=[],
                         changes="nothing", message=BUSY_MESSAGE % "nicht ge\u00e4ndert"),
    "busy-in-row": dict(session=FIRST, busy=[("row", 10)], ini={";BusyTimeout=30": "BusyTimeout=3"}, options=[],
                        message=BUSY_MESSAGE % "eventuell nur teilweise ge\u00e4ndert"),
    # The host hangs in the scan for longer than HangTimeout: the user gives the call up, or waits it out.
    "hang-cancel": dict(session=with_faults(FIRST, {"member": "GetNext", "occurrence": 1, "effect": "hang",
                                                    "seconds": 8}),
                        ini={";HangTimeout=15": "HangTimeout=2"}, options=[], hang=["cancel"], abandons=True,
                        changes="nothing", message=HOST_FAILURE_UNTOUCHED),
    "hang-wait": dict(session=with_faults(FIRST, {"member": "GetNext", "occurrence": 1, "effect": "hang",
                                                  "seconds": 3}),
                      ini={";HangTimeout=15": "HangTimeout=2"}, options=[], hang=["wait"]),
    # simhost numbers a part's members apart from a drawing's: the drawing's calls must use the drawing's.
    "part-and-drawing": dict(session=with_part_first(FIRST), options=[]),
}
PACKAGE_FILES = {"glattmark.exe", "glattmark.swb", "glattmark.ini", "glattmark.cfg", "LIESMICH.txt"}


def numbers_close(a, b):
    return isinstance(a, (int, float)) and isinstance(b, (int, float)) and abs(a - b) <= POSITION_TOLERANCE


def differences(actual, expected, path="", key=None):
    """Where two JSON values differ, as paths; the keys x and y may differ by the position tolerance."""
    if isinstance(actual, dict) and isinstance(expected, dict):
        found = []
        for k in sorted(set(actual) | set(expected)):
            if k not in actual or k not in expected:
                found.append("%s/%s: only in %s" % (path, k, "Windows" if k in actual else "glattmark-sim"))
            else:
                found += differences(actual[k], expected[k], "%s/%s" % (path, k), k)
        return found
    if isinstance(actual, list) and isinstance(expected, list) and len(actual) == len(expected):
        return [d for i, (a, e) in enumerate(zip(actual, expected)) for d in differences(a, e, "%s/%d" % (path, i))]
    if actual == expected or (key in POSITION_KEYS and numbers_close(actual, expected)):
        return []
    return ["%s: Windows %s, glattmark-sim %s" % (path, json.dumps(actual, ensure_ascii=False),
                                                  json.dumps(expected, ensure_ascii=False))]


def annotations(session):
    """Every symbol and note of the session by document, sheet and name."""
    found = {}
    for d, document in enumerate(session.get("documents", [])):
        for sheet in document.get("sheets", []):
            for holder in [sheet] + sheet.get("views", []):
                for kind in ("symbols", "notes"):
                    for item in holder.get(kind, []):
                        found[(d, sheet["name"], kind, item["name"])] = item
    return found


def is_program_output(key):
    return key[3].startswith("glmSymbol") or key[3] in ("glmLNote", "glmRNote")


def check_stats(stats, failures, macro=False):
    """Argument types as the table says, one lookup per member and object kind, nothing left held. The table
    is the program's: the macro's own calls are the script host's to shape."""
    allowed = harness.signatures()
    calls = [c for c in stats["callLog"] if not (macro and c["kind"] == "application" and c["member"] in MACRO_CALLS)]
    unexpected = sorted({harness.call_signature(c) for c in calls} - allowed)
    failures += ["a call of unexpected argument types: %s" % s for s in unexpected]
    for kind, members in stats["lookups"]["byKind"].items():
        failures += ["%s.%s looked up %d times" % (kind, m, n) for m, n in members.items() if n != 1]
    if stats["objectsHeldByClients"] != 0:
        failures.append("the program still held %d host objects" % stats["objectsHeldByClients"])
    if stats["stop"] != "file":
        failures.append("simhost stopped by %s, not by the test" % stats["stop"])


def log_lines(path):
    with open(path, encoding="utf-8") as file:
        return [json.loads(line) for line in file]


def invoke_name(flags):
    """DISPATCH_* flags as simhost's call log names them."""
    return "|".join(name for bit, name in ((1, "method"), (2, "get"), (4, "put"), (8, "putref")) if flags & bit)


# What may differ between the logs of one scenario on Windows and in glattmark-sim: times, how COM sent a
# call (DISPID and flags), and where the INI file lies.
DOCUMENT_TYPES = {"drawing", "part", "assembly"}
LOG_ONLY_WINDOWS = {"t", "ms", "time", "dispid", "flags", "ini"}


def check_log(scenario, win, sim, stats):
    """The Windows log holds the run as simhost served it, and glattmark-sim's log says the same."""
    logs = {}
    for side in ("windows", "sim"):
        path = os.path.join(os.path.dirname(win.folder), side, scenario["log"])
        try:
            logs[side] = log_lines(path)
        except (OSError, ValueError) as error:
            return ["log of %s: %s" % (side, error)]
    lines = logs["windows"]
    failures = []
    if lines[0].get("event") != "start" or lines[0].get("document") != scenario["session"]["documents"][0]["path"]:
        failures.append("log: begins with %s" % lines[0])
    end = {"event": "end", "status": win.seen["exitCode"], "ending": sim.transcript["ending"]}
    if lines[-1] != end:
        failures.append("log: ends with %s, not %s" % (lines[-1], end))
    shown = [{k: m[k] for k in ("window", "text")} for m in win.seen["messages"]]
    if [{k: l[k] for k in ("window", "text")} for l in lines if l.get("event") == "message"] != shown:
        failures.append("log: not the messages shown, %s" % shown)

    calls = [l for l in lines if "member" in l and not l.get("lookup")]
    served = stats["callLog"]
    if len(calls) != len(served):
        failures.append("log: %d calls, simhost served %d" % (len(calls), len(served)))
    for i, (call, record) in enumerate(zip(calls, served)):
        # simhost records a document's calls under its member table; the log under the document's type.
        logged = ("document" if call["object"] in DOCUMENT_TYPES else call["object"], call["member"], call["args"],
                  invoke_name(call["flags"]))
        if logged != (record["kind"], record["member"], record["args"], record["invoke"]):
            failures.append("log: call %d is %s, simhost served %s" % (i, logged, record))
            break
    lookups = {}
    for line in lines:
        if line.get("lookup"):
            lookups[(line["object"], line["member"])] = lookups.get((line["object"], line["member"]), 0) + 1
    asked = {(k, m): n for k, members in stats["lookups"]["byKind"].items() for m, n in members.items()}
    if lookups != asked:
        failures.append("log: lookups %s, simhost answered %s" % (sorted(lookups.items()), sorted(asked.items())))
    failed = [l for l in calls if l["hr"] != "0x00000000"]
    if [(l["member"], l["hr"], "injected failure" in l.get("text", "")) for l in failed] != [
            ("InsertSurfaceFinishSymbol3", "0x80020009", True)]:
        failures.append("log: failed calls %s" % failed)

    same = [[{k: v for k, v in l.items() if k not in LOG_ONLY_WINDOWS} for l in logs[side]]
            for side in ("windows", "sim")]
    for i, (a, b) in enumerate(zip(*same)):
        if a != b:
            failures.append("log line %d: Windows %s, glattmark-sim %s" % (i + 1, a, b))
            break
    if len(same[0]) != len(same[1]):
        failures.append("log: %d lines on Windows, %d in glattmark-sim" % (len(same[0]), len(same[1])))
    return failures


def check_no_log(scenario, win, stats, expected_stats):
    """A log that cannot be written changes nothing: no file, and no call asks for the document's path."""
    failures = ["the log's folder was made: %s" % side for side in ("windows", "sim")
                if os.path.exists(os.path.join(os.path.dirname(win.folder), side, scenario["no_log"]))]
    return failures + ["%s asked for the document's path" % who for who, s in (("Windows", stats),
                                                                           ("glattmark-sim", expected_stats))
                       if "GetPathName" in s["calls"]["byMember"]]


def check_abandoned(scenario, before, win):
    """A run that gave a hung call up: the host failure message after the hang window, status 1, the sheet as
    it was."""
    failures = ["driver: %s" % p for p in win.seen["problems"]]
    windows = [(m["window"], m["text"]) for m in win.seen["messages"]]
    if windows != [("hang", "SolidWorks antwortet nicht."), ("error", scenario["message"])]:
        failures.append("messages: %s" % windows)
    if win.seen["exitCode"] != 1:
        failures.append("exit status %s, not 1" % win.seen["exitCode"])
    if win.session is None:
        return failures + ["simhost wrote no session (status %s)" % win.simhost_status]
    if annotations(win.session) != annotations(before):
        failures.append("the sheet changed")
    return failures


def check(scenario, before, win, sim):
    failures = []
    seen = win.seen
    if seen is None:
        return ["the driver wrote nothing (status %s)" % win.driver_status]
    if scenario.get("abandons"):
        return check_abandoned(scenario, before, win)
    failures += ["driver: %s" % p for p in seen["problems"]]
    if seen["exitCode"] != sim.status:
        failures.append("exit status: Windows %s, glattmark-sim %s" % (seen["exitCode"], sim.status))
    if scenario.get("macro") and seen.get("command") != {"exitCode": 0, "programStarted": True}:
        failures.append("the macro: %s, not ended after starting the program" % seen.get("command"))
    failures += ["dialog%s" % d for d in differences(seen["dialog"], sim.transcript["dialog"])]
    # glattmark-sim's host never hangs: the hang window is the Windows program's alone.
    asked = [m for m in seen["messages"] if m["window"] == "hang"]
    if len(asked) != len(scenario.get("hang", [])):
        failures.append("the hang window came %d times, not %d" % (len(asked), len(scenario.get("hang", []))))
    messages = [m for m in seen["messages"] if m["window"] != "hang"]
    failures += ["messages%s" % d for d in differences(messages, sim.transcript["messages"])]
    if "message" in scenario and [m["text"] for m in messages] != [scenario["message"]]:
        failures.append("messages: %s, not the one expected" % [m["text"] for m in messages])
    if scenario.get("kill"):
        return failures

    if win.session is None:
        return failures + ["simhost wrote no session (status %s)" % win.simhost_status]
    after = copy.deepcopy(win.session)
    stats = after.pop("stats")
    expected = copy.deepcopy(sim.session)
    expected_stats = expected.pop("stats")
    for member, count in scenario.get("uncallable", {}).items():
        expected_stats["calls"]["byMember"][member] -= count
        expected_stats["calls"]["total"] -= count
    for member, count in (MACRO_CALLS if scenario.get("macro") else {}).items():
        expected_stats["calls"]["byMember"][member] = expected_stats["calls"]["byMember"].get(member, 0) + count
        expected_stats["calls"]["total"] += count
    failures += ["session%s" % d for d in differences(after, expected)]
    failures += ["stats%s" % d for d in differences({k: v for k, v in stats.items() if k not in COM_ONLY_STATS},
                                                    expected_stats)]
    check_stats(stats, failures, scenario.get("macro"))
    if scenario.get("log"):
        failures += check_log(scenario, win, sim, stats)
    if scenario.get("no_log"):
        failures += check_no_log(scenario, win, stats, expected_stats)
    if scenario.get("busy") and not stats.get("refusedAsBusy"):
        failures.append("the host refused no call as busy")
    return failures + check_annotations(scenario, before, after)


def check_macro_alone(scenario, before, win, message):
    """The macro ran without starting the program: its one message, and nothing asked of the session but
    what the macro asks."""
    seen = win.seen
    if seen is None:
        return ["the driver wrote nothing (status %s)" % win.driver_status]
    failures = ["driver: %s" % p for p in seen["problems"]]
    if seen.get("command") != {"exitCode": 0, "programStarted": False}:
        failures.append("the macro: %s, not ended without starting the program" % seen.get("command"))
    failures += ["messages%s" % d for d in differences(
        seen["messages"], [{"window": "messagebox", "caption": "Glattmark", "text": message}])]
    if win.session is None:
        return failures + ["simhost wrote no session (status %s)" % win.simhost_status]
    after = copy.deepcopy(win.session)
    stats = after.pop("stats")
    failures += ["calls%s" % d for d in differences(stats["calls"]["byMember"], MACRO_CALLS)]
    check_stats(stats, failures, macro=True)
    return failures + check_annotations(scenario, before, after)


def check_annotations(scenario, before, after):
    """No annotation under a name the host gave by default, none of the user's lost, changed only as the
    scenario allows."""
    failures = []
    kept = annotations(after)
    # Gone, the host cannot delete what it created before it went.
    if not any(fault.get("effect") == "disconnect" for fault in before.get("faults", [])):
        failures += ["left under the host's name: %s" % (key,) for key in kept
                     if key not in annotations(before) and not is_program_output(key)]
    for key, item in annotations(before).items():
        if scenario.get("changes") == "nothing" or not is_program_output(key):
            if key not in kept:
                failures.append("lost: %s" % (key,))
            elif scenario.get("changes") != "user" and differences(kept[key], item):
                failures.append("changed: %s" % (key,))
    if scenario.get("changes") == "nothing":
        failures += ["added: %s" % (key,) for key in kept if key not in annotations(before)]
    return failures


def unpack(package, folder):
    """The package's one folder, unpacked into folder; raises HarnessError when it holds anything else."""
    with zipfile.ZipFile(package) as archive:
        names = {name for name in archive.namelist() if not name.endswith("/")}
        top = {name.split("/")[0] for name in names}
        inside = {name.split("/", 1)[-1] for name in names}
        if len(top) != 1 or inside != PACKAGE_FILES:
            raise harness.HarnessError("the package holds %s, not one folder with %s" % (sorted(names),
                                                                                       sorted(PACKAGE_FILES)))
        archive.extractall(folder)
    unpacked = os.path.join(folder, top.pop())
    with open(os.path.join(unpacked, "LIESMICH.txt"), encoding="utf-8") as file:
        if "glattmark.swb" not in file.read():
            raise harness.HarnessError("LIESMICH.txt does not name the macro glattmark.swb")
    return unpacked


def with_macro_path(session, path):
    changed = copy.deepcopy(session)
    changed.setdefault("application", {})["macroPath"] = path
    return changed


def macro_command(macro, folder):
    """The Windows command line that runs the macro as SolidWorks runs it from a button: its text and a line
    calling its main, under Wine's script host."""
    with open(macro, "rb") as file:
        text = file.read()
    script = os.path.join(folder, "run-macro.vbs")
    with open(script, "wb") as file:
        file.write(text + b"main\r\n")
    return 'wscript.exe //nologo "%s"' % harness.wine_path(script)


def busy_faults(build, folder, scenario, ini_files):
    """The scenario's busy faults, placed by the number of calls glattmark-sim's start-up makes."""
    start_up = harness.run_sim(build, os.path.join(folder, "sim-start-up"), scenario["session"], ["--cancel"], "",
                               ini_files)
    scan_calls = start_up.session["stats"]["calls"]["total"]
    after = {"scan": scan_calls // 2, "row": scan_calls + 20}
    return [{"afterCalls": after[where], "effect": "busy", "seconds": seconds} for where, seconds in scenario["busy"]]


def run(name, build, folder, package):
    scenario = SCENARIOS[name]
    session = scenario["session"]
    answers = harness.answers_from_options(scenario["options"])
    if scenario.get("hang"):
        answers["hang"] = scenario["hang"]
    program = None
    ini_files = None
    shutil.rmtree(folder, ignore_errors=True)
    if scenario.get("ini"):
        ini_files = harness.changed_ini(scenario["ini"], os.path.join(folder, "ini"))
    if scenario.get("busy"):
        session = with_faults(session, *session.get("faults", []), *busy_faults(build, folder, scenario, ini_files))
    if scenario.get("package"):
        if not package or not os.path.isfile(package):
            return ["no package: %s" % package]
        unpacked = unpack(package, os.path.join(folder, "unpacked"))
        program = os.path.join(unpacked, "glattmark.exe")
        # glattmark-sim reads them as packed: the program adds to glattmark.ini what it takes from the cfg.
        packed = os.path.join(folder, "packed")
        os.makedirs(packed)
        ini_files = [shutil.copy(os.path.join(unpacked, name), packed) for name in ("glattmark.ini", "glattmark.cfg")]
    command = None
    if scenario.get("macro"):
        macro = os.path.join(unpacked, "glattmark.swb")
        session = with_macro_path(session, harness.wine_path(macro) if scenario["macro"] != "no path" else "")
        if scenario["macro"] == "no program":
            os.remove(program)
        command = macro_command(macro, folder)

    def kill_at_dialog(run_, pause_name, _note, simhost):
        if pause_name.endswith("dialog"):
            simhost.kill()
            simhost.wait(timeout=30)
            run_.killed = True

    win = harness.run_windows(build, os.path.join(folder, "windows"), session, answers,
                              on_pause=kill_at_dialog if scenario.get("kill") else None, program=program,
                              ini_files=ini_files, command=command)
    if scenario.get("macro") in ("no program", "no path"):
        return check_macro_alone(scenario, session, win,
                                 scenario["message"].format(folder=harness.wine_path(unpacked)))
    user = (win.seen or {}).get("loginName", "")
    sim_session = session
    if scenario.get("kill"):
        # The same as a host gone right after the start-up: every later call fails.
        start_up = harness.run_sim(build, os.path.join(folder, "sim-start-up"), session, ["--cancel"], user)
        sim_session = with_faults(session, {"afterCalls": start_up.session["stats"]["calls"]["total"],
                                            "effect": "disconnect"})
    if scenario.get("abandons"):
        return check(scenario, session, win, None)
    sim = harness.run_sim(build, os.path.join(folder, "sim"), sim_session, scenario["options"], user, ini_files)
    if sim.session is None or sim.transcript is None:
        return ["glattmark-sim wrote nothing (status %s): %s" % (sim.status, sim.stderr)]
    return check(scenario, session, win, sim)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", nargs="?")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--build", help="the windows build folder")
    parser.add_argument("--sim", help="glattmark-sim of the linux-release build")
    parser.add_argument("--package", help="the Windows package (zip)")
    args = parser.parse_args()
    if args.list:
        print(";".join(SCENARIOS))
        return 0
    if args.scenario not in SCENARIOS or not args.build:
        parser.error("a scenario of --list and --build are needed")
    build = harness.Build(args.build, args.sim)
    missing = build.missing() + ([] if os.path.exists(build.sim) else [build.sim])
    if missing:
        print("missing: %s" % ", ".join(missing))
        if os.environ.get("CI") == "true":
            return 1
        print("skipped: build glattmark-sim with the linux-release preset first")
        return SKIPPED
    folder = os.path.join(build.windows_dir, "e2e", args.scenario)
    try:
        failures = run(args.scenario, build, folder, args.package)
    except harness.HarnessError as error:
        failures = ["harness: %s" % error]
    for failure in failures:
        print(failure)
    print("%s: %s (files in %s)" % (args.scenario, "failed" if failures else "passed", folder))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
