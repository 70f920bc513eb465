"""The round trips of glattmark.exe under Wine on glattmark-benchmark's sheet (200 distinct surface-finish
symbols and 200 repeats): glattmark.exe against simhost.exe, "Ok" pressed on the proposal by uidriver.exe.
Prints the host calls by member beside glattmark-sim's on the same sheet, the name lookups, and the wall
time per host call and per symbol, each with and without the log of host calls ([main] LogFile; the runs
alternate) and the log's size; then what one call costs with and without a name lookup (com-round-trips.exe).
Figures only: nothing is asserted on time.

    python3 windows_benchmark.py [RUNS]      (scripts/benchmark-windows.sh builds what it needs first)

The wall times are glattmark.exe's own, from its start to the dialog and from "Ok" to its end, as the
driver saw them (to within its 20 ms look at the windows); the time the dialog waited is left out.
"""

import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "uidriver"))
import wine_harness as harness  # noqa: E402

SYMBOLS = 400
SECONDS_PER_RUN = 300


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    build = harness.Build(os.path.join(harness.SOURCE_DIR, "build", "windows"))
    linux = os.path.join(harness.SOURCE_DIR, "build", "linux-release")
    folder = os.path.join(build.windows_dir, "benchmark")
    os.makedirs(folder, exist_ok=True)
    session = os.path.join(folder, "sheet-200-200.json")
    subprocess.run([os.path.join(linux, "tools", "benchmark", "glattmark-benchmark"), "--write-session", session],
                   check=True, timeout=60)

    logged_ini = os.path.join(folder, "ini-with-log")
    shutil.rmtree(logged_ini, ignore_errors=True)
    logged_ini = harness.changed_ini({";LogFile=": "LogFile=glattmark.log"}, logged_ini)
    phases = {False: [], True: []}
    first = None
    log_path = None
    for i in range(runs):
        for logged in (False, True):
            run_folder = os.path.join(folder, "run-%d%s" % (i, "-log" if logged else ""))
            run = harness.run_windows(build, run_folder, session, {}, program_seconds=SECONDS_PER_RUN,
                                      ini_files=logged_ini if logged else None)
            seen = run.seen or {}
            if run.session is None or seen.get("problems") or seen.get("exitCode") != 0:
                print("run %d did not end cleanly: %s" % (i, seen.get("problems") or seen.get("messages")))
                return 1
            seconds = seen["seconds"]
            phases[logged].append((seconds["dialogShown"], seconds["ended"] - seconds["left"]))
            first = first or run
            log_path = os.path.join(run_folder, "glattmark.log") if logged else log_path
    sim_seconds = {}
    for logged in (True, False):
        started = time.monotonic()
        sim = harness.run_sim(build, os.path.join(folder, "sim-log" if logged else "sim"), session, [],
                              first.seen["loginName"], logged_ini if logged else None)
        sim_seconds[logged] = time.monotonic() - started

    stats = first.session["stats"]
    calls = stats["calls"]["byMember"]
    sim_calls = sim.session["stats"]["calls"]["byMember"]
    lookups = {}
    for members in stats["lookups"]["byKind"].values():
        for member, count in members.items():
            lookups[member] = lookups.get(member, 0) + count

    print("Sheet: 200 distinct symbols, 200 repeats (%d symbols); glattmark.exe under Wine against simhost.exe"
          % SYMBOLS)
    print()
    print("Host calls of one run, by member")
    print("  %-30s %10s %10s %14s" % ("member", "Windows", "lookups", "glattmark-sim"))
    for member in sorted(set(calls) | set(sim_calls)):
        print("  %-30s %10d %10d %14d" % (member, calls.get(member, 0), lookups.get(member, 0),
                                          sim_calls.get(member, 0)))
    total = stats["calls"]["total"]
    lookup_total = stats["lookups"]["total"]
    print("  %-30s %10d %10d %14d" % ("total", total, lookup_total, sim.session["stats"]["calls"]["total"]))
    print()
    for logged in (False, True):
        start_up = statistics.median(p[0] for p in phases[logged])
        ok = statistics.median(p[1] for p in phases[logged])
        whole = start_up + ok
        print("Wall time (median of %d runs), %s the log of host calls" % (runs, "with" if logged else "without"))
        print("  start to dialog   %8.2f s" % start_up)
        print("  Ok to end         %8.2f s" % ok)
        print("  whole run         %8.2f s" % whole)
        print("  per round trip    %8.2f ms  (%d calls and %d lookups)" % (1000 * whole / (total + lookup_total),
                                                                         total, lookup_total))
        print("  per symbol        %8.2f ms" % (1000 * whole / SYMBOLS))
        print()
    with open(log_path, "rb") as file:
        log = file.read()
    print("The log of one run: %d bytes, %d lines" % (len(log), log.count(b"\n")))
    print("glattmark-sim on the same sheet, the whole process: %.3f s without the log, %.3f s with it"
          % (sim_seconds[False], sim_seconds[True]))
    print()
    print("One call into simhost.exe (examples/erster-lauf.json), with the name's DISPID cached and looked up")
    print(round_trips(build, os.path.join(folder, "round-trips")))
    return 0


def round_trips(build, folder):
    """What com-round-trips.exe prints against simhost.exe serving the first example."""
    session_path = harness.prepare_folder(folder, os.path.join(harness.SOURCE_DIR, "examples", "erster-lauf.json"))
    log = os.path.join(folder, "com-round-trips.log")
    simhost = harness.SimHost(build, folder, session_path, SECONDS_PER_RUN)
    try:
        program = os.path.join(build.windows_dir, "tools", "benchmark", "com-round-trips.exe")
        status = harness.wait_or_kill(build.start(program, [], log), SECONDS_PER_RUN, "com-round-trips.exe")
    finally:
        simhost.stop()
    with open(log, encoding="utf-8", errors="replace") as file:
        printed = file.read().rstrip()
    if status != 0:
        raise harness.HarnessError("com-round-trips.exe failed (status %s): %s" % (status, printed))
    return printed


if __name__ == "__main__":
    try:
        sys.exit(main())
    except harness.HarnessError as error:
        print("windows_benchmark: %s" % error, file=sys.stderr)
        sys.exit(1)
