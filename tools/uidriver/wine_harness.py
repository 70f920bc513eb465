"""Runs glattmark.exe under Wine against simhost.exe, worked through its windows by uidriver.exe, and
glattmark-sim on the same files and answers, for the end-to-end tests, the Windows example and the
Windows benchmark.

One run: simhost.exe serves a copy of a session file; glattmark.exe starts from a folder that also holds
glattmark.ini and glattmark.cfg; uidriver.exe starts it, reads and answers its windows and writes what it
saw; then simhost is stopped and writes the session back. Every process is bounded in time and ended
when it overruns; no Wine program's output goes to a pipe (a reader of it may wait for Wine's services).

The runs use a Wine prefix of their own, <windows build>/e2e-prefix (set up by cmake/wine-run.sh like the
unit tests' one), so that no test window of another program stands on their desktop: the driver reads
the kind's picture from the screen. One run at a time per prefix: simhost registers one class.

    python3 wine_harness.py example [SESSION.json] [glattmark-sim answer options...]

runs one session (default examples/erster-lauf.json) and leaves in build/example-windows/ the session
after the run, the driver's record, the sheet's SVG and PNG screenshots of every window shown.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.abspath(os.environ.get("GLM_SOURCE_DIR", os.path.join(HERE, "..", "..")))

READY_SECONDS = 60      # simhost serving its session, once the prefix is up
BOOT_SECONDS = 300      # a fresh prefix on a busy machine
STOP_SECONDS = 30       # simhost writing the session back
PROGRAM_SECONDS = 60    # glattmark.exe from its start to its end (the driver ends it after that)
DRIVER_SLACK = 30       # the driver's own start and end around that

# glattmark-sim's answer options and the driver's plan: option -> (plan key, takes a value, value type).
ANSWER_OPTIONS = {
    "--kind": ("kind", int),
    "--type-kind": ("typeKind", str),
    "--method": ("method", str),
    "--rough": ("rough", str),
    "--normfix": ("normFix", lambda v: {"0": False, "1": True}[v]),
}
LEAVE_OPTIONS = {"--cancel": "cancel", "--close": "close"}


class HarnessError(Exception):
    """Something around the program failed: a tool did not start, stop or write in time."""


def answers_from_options(options):
    """The driver's answers for glattmark-sim's answer options (--kind 1 --rough 1,6 --cancel ...)."""
    answers = {}
    i = 0
    while i < len(options):
        option = options[i]
        if option in LEAVE_OPTIONS:
            answers["leave"] = LEAVE_OPTIONS[option]
            i += 1
        elif option in ANSWER_OPTIONS and i + 1 < len(options):
            key, convert = ANSWER_OPTIONS[option]
            try:
                answers[key] = convert(options[i + 1])
            except (KeyError, ValueError):
                raise HarnessError("unusable value for %s: %s" % (option, options[i + 1]))
            i += 2
        else:
            raise HarnessError("not an answer option of glattmark-sim: %s" % option)
    return answers


def wine_path(path):
    """A path of this machine as Windows programs under Wine see it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_json(path):
    try:
        with open(path, encoding="utf-8") as file:
            return json.load(file)
    except (OSError, ValueError):
        return None


def signatures():
    """The argument types each host member may receive: the COM tests' table, one call form a line."""
    with open(os.path.join(SOURCE_DIR, "tests", "host", "com_signatures.inc"), encoding="utf-8") as file:
        text = file.read()
    body = text[text.index('R"(') + 3:text.rindex(')"')]
    return {line for line in body.splitlines() if line}


def call_signature(call):
    return "%s.%s %s(%s)" % (call["kind"], call["member"], call["invoke"], ",".join(call["args"]))


class Build:
    """The programs of the windows and linux-release builds, and the prefix the runs use."""

    def __init__(self, windows_dir, sim=None):
        self.windows_dir = os.path.abspath(windows_dir)
        self.wine_run = os.path.join(SOURCE_DIR, "cmake", "wine-run.sh")
        self.prefix = os.path.join(self.windows_dir, "e2e-prefix")
        self.glattmark = os.path.join(self.windows_dir, "app", "glattmark.exe")
        self.simhost = os.path.join(self.windows_dir, "tools", "simhost", "simhost.exe")
        self.uidriver = os.path.join(self.windows_dir, "tools", "uidriver", "uidriver.exe")
        self.sim = sim or os.path.join(SOURCE_DIR, "build", "linux-release", "app", "glattmark-sim")

    def missing(self):
        return [p for p in (self.glattmark, self.simhost, self.uidriver) if not os.path.exists(p)]

    def start(self, program, args, log_path):
        """Starts a Windows program in the prefix, its output to log_path."""
        with open(log_path, "ab") as log:
            return subprocess.Popen([self.wine_run, self.prefix, program] + list(args), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=subprocess.STDOUT)

    def boot(self, log_path):
        """Brings the prefix's server and display up (at once when they are)."""
        process = self.start("cmd.exe", ["/c", "exit"], log_path)
        wait_or_kill(process, BOOT_SECONDS, "booting the Wine prefix")

    def display(self):
        """The X display of the prefix's desktop (":N")."""
        with open(self.prefix + ".display", encoding="utf-8") as file:
            return file.readline().strip()

    def stop_server(self):
        """Ends the prefix's server and with it every program and the display: a simhost that was killed
        stays in the running object table for a while, where the next run would find it."""
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.prefix),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def wait_or_kill(process, seconds, what):
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=30)
        raise HarnessError("%s took longer than %d s" % (what, seconds))


class WindowsRun:
    """What one run of glattmark.exe left: the driver's record and the session simhost wrote back."""

    def __init__(self, folder):
        self.folder = folder
        self.seen = None         # the driver's record (dialog, messages, exit code ...)
        self.session = None      # the session after the run; None when simhost wrote none
        self.driver_status = None
        self.simhost_status = None
        self.killed = False      # simhost was killed during the run


def prepare_folder(folder, session, ini_files=None):
    """An empty folder with the configuration (ini_files, the example's by default) and a copy of the
    session (a dict or a path)."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    examples = [os.path.join(SOURCE_DIR, "examples", name) for name in ("glattmark.ini", "glattmark.cfg")]
    for path in ini_files or examples:
        shutil.copy(path, folder)
    session_path = os.path.join(folder, "session.json")
    if isinstance(session, dict):
        with open(session_path, "w", encoding="utf-8") as file:
            json.dump(session, file, ensure_ascii=False, indent=1)
    else:
        shutil.copy(session, session_path)
    return session_path


def changed_ini(replacements, folder):
    """The example configuration in folder, its glattmark.ini changed by replacements (text: text)."""
    os.makedirs(folder)
    examples = os.path.join(SOURCE_DIR, "examples")
    with open(os.path.join(examples, "glattmark.ini"), encoding="cp1252", newline="") as file:
        text = file.read()
    for old, new in replacements.items():
        if old not in text:
            raise HarnessError("glattmark.ini has no %s" % old)
        text = text.replace(old, new)
    with open(os.path.join(folder, "glattmark.ini"), "w", encoding="cp1252", newline="") as file:
        file.write(text)
    return [os.path.join(folder, "glattmark.ini"), shutil.copy(os.path.join(examples, "glattmark.cfg"), folder)]


class SimHost:
    """simhost.exe serving the session file session_path, its files beside it in folder; the constructor
    returns once it serves. Its idle time ends a simhost that the harness itself lost."""

    def __init__(self, build, folder, session_path, idle_seconds):
        self.ready = os.path.join(folder, "simhost.ready")
        self.stop_file = os.path.join(folder, "simhost.stop")
        self.out = os.path.join(folder, "session-after.json")
        self.log = os.path.join(folder, "simhost.log")
        args = [wine_path(session_path), "--out", wine_path(self.out), "--ready", wine_path(self.ready),
                "--stop-file", wine_path(self.stop_file), "--idle", str(idle_seconds)]
        self.process = build.start(build.simhost, args, self.log)
        try:
            deadline = time.monotonic() + READY_SECONDS
            while not os.path.exists(self.ready):
                if self.process.poll() is not None:
                    raise HarnessError("simhost.exe ended before it served the session (status %s, see %s)"
                                       % (self.process.returncode, self.log))
                if time.monotonic() > deadline:
                    raise HarnessError("simhost.exe did not serve the session within %d s" % READY_SECONDS)
                time.sleep(0.05)
        except BaseException:
            self.stop()
            raise

    def stop(self):
        """Asks simhost to stop, waits until it has written the session back, and returns its status."""
        if self.process.poll() is None:
            open(self.stop_file, "w").close()
            return wait_or_kill(self.process, STOP_SECONDS, "stopping simhost.exe")
        return self.process.returncode


def run_windows(build, folder, session, answers, on_pause=None, program=None, ini_files=None,
                program_seconds=PROGRAM_SECONDS, command=None):
    """One run of glattmark.exe against simhost on session, answered with answers (the driver's plan).

    program: a glattmark.exe to run where it lies, beside its own INI files; by default the build's is
    copied into folder, with ini_files (by default the example configuration). program_seconds: how long
    it may run. command: a Windows command line the driver runs instead, which is to start program.
    on_pause(run, name, note, simhost): called at every window the driver is about to read or answer
    (name like "01-dialog", note its place on the screen), before the driver goes on; it may end
    simhost (simhost.kill()) and then sets run.killed.
    """
    session_path = prepare_folder(folder, session, ini_files)
    if program is None:
        program = shutil.copy(build.glattmark, folder)
    run = WindowsRun(folder)
    log = os.path.join(folder, "wine.log")
    build.boot(log)

    simhost = SimHost(build, folder, session_path, program_seconds + DRIVER_SLACK + 60)
    driver = None
    try:
        pause = os.path.join(folder, "pause") if on_pause else None
        if pause:
            os.makedirs(pause)
        plan = {"program": wine_path(program),
                "out": wine_path(os.path.join(folder, "seen.json")), "timeout": program_seconds, "answers": answers}
        if pause:
            plan["pause"] = wine_path(pause)
        if command:
            plan["command"] = command
        plan_path = os.path.join(folder, "plan.json")
        with open(plan_path, "w", encoding="utf-8") as file:
            json.dump(plan, file, ensure_ascii=False)
        driver = build.start(build.uidriver, [wine_path(plan_path)], os.path.join(folder, "uidriver.log"))
        deadline = time.monotonic() + program_seconds + DRIVER_SLACK
        answered = set()
        while driver.poll() is None:
            if time.monotonic() > deadline:
                raise HarnessError("uidriver.exe did not end within %d s" % (program_seconds + DRIVER_SLACK))
            if pause:
                for name in sorted(os.listdir(pause)):
                    if name.endswith(".json") and name not in answered:
                        answered.add(name)
                        on_pause(run, name[:-5], read_json(os.path.join(pause, name)), simhost.process)
                        open(os.path.join(pause, name[:-5] + ".go"), "w").close()
            time.sleep(0.05)
        run.driver_status = driver.returncode
        run.seen = read_json(os.path.join(folder, "seen.json"))
    finally:
        if driver is not None and driver.poll() is None:
            driver.kill()  # the program ends with it: it runs in the driver's job
            driver.wait(timeout=30)
        run.simhost_status = simhost.stop()
        if run.killed:
            build.stop_server()
    if not run.killed:
        run.session = read_json(simhost.out)
    return run


class SimRun:
    def __init__(self, status, session, transcript, stderr):
        self.status = status
        self.session = session
        self.transcript = transcript
        self.stderr = stderr


def run_sim(build, folder, session, options, user, ini_files=None, svg=None):
    """glattmark-sim on the same files and answers, as the user the Windows program saw."""
    session_path = prepare_folder(folder, session, ini_files)
    out = os.path.join(folder, "session-after.json")
    transcript = os.path.join(folder, "transcript.json")
    command = [build.sim, session_path, "--ini", os.path.join(folder, "glattmark.ini"), "--out", out,
               "--transcript", transcript, "--decimal", ",", "--user", user] + list(options)
    if svg:
        command += ["--svg", svg]
    try:
        completed = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    except subprocess.TimeoutExpired:
        raise HarnessError("glattmark-sim did not end within 120 s")
    return SimRun(completed.returncode, read_json(out), read_json(transcript),
                  completed.stderr.decode("utf-8", "replace"))


def screenshot(build, note, path):
    """A PNG of the window at note["rect"], as the prefix's display shows it."""
    left, top, right, bottom = note["rect"]
    # Wine copies what a window painted to the display a moment later.
    time.sleep(0.5)
    subprocess.run(["import", "-display", build.display(), "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", path],
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                   check=True)


def example(args):
    """scripts/run-windows-example.sh: one run, its results and screenshots in build/example-windows/."""
    session = os.path.join(SOURCE_DIR, "examples", "erster-lauf.json")
    if args and not args[0].startswith("-"):
        session, args = args[0], args[1:]
    if not os.path.isfile(session):
        print("Sitzungsdatei nicht gefunden: %s" % session, file=sys.stderr)
        return 2
    try:
        answers = answers_from_options(args)
    except HarnessError as error:
        print("Antworten unbrauchbar: %s" % error, file=sys.stderr)
        return 2
    build = Build(os.path.join(SOURCE_DIR, "build", "windows"))
    out = os.path.join(SOURCE_DIR, "build", "example-windows")
    name = os.path.splitext(os.path.basename(session))[0]
    shots = []

    def take(_run, pause_name, note, _simhost):
        path = os.path.join(out, "%s-%s.png" % (name, pause_name))
        screenshot(build, note, path)
        shots.append(path)

    # What an earlier run of this session left goes; other sessions' results stay.
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        path = os.path.join(out, old)
        if old.startswith(name + ".") or old.startswith(name + "-"):
            if os.path.isdir(path):
                shutil.rmtree(path)
            else:
                os.remove(path)
    work = os.path.join(out, name + ".work")
    run = run_windows(build, os.path.join(work, "windows"), session, answers, on_pause=take)
    results = {"session": os.path.join(out, name + ".json"), "seen": os.path.join(out, name + ".seen.json"),
               "svg": os.path.join(out, name + ".svg")}
    if run.session is not None:
        shutil.copy(os.path.join(work, "windows", "session-after.json"), results["session"])
    if run.seen is not None:
        shutil.copy(os.path.join(work, "windows", "seen.json"), results["seen"])
    # The picture of the sheet after the run: glattmark-sim draws the session it is given, closing the
    # dialog at once so that the run changes nothing.
    if run.session is not None:
        run_sim(build, os.path.join(work, "draw"), results["session"], ["--close"], "", svg=results["svg"])
    for message in (run.seen or {}).get("messages", []):
        print("%s: %s" % (message["caption"], message["text"]))
    print()
    for label, path in (("Sitzung nach dem Lauf", results["session"]), ("Gesehen", results["seen"]),
                        ("Bild des Blatts", results["svg"])):
        if os.path.exists(path):
            print("%-22s %s" % (label + ":", path))
    for shot in shots:
        print("%-22s %s" % ("Bildschirmfoto:", shot))
    if run.seen is None or run.seen.get("problems"):
        print("Der Lauf ist nicht wie geplant verlaufen: %s" % (run.seen or {}).get("problems"), file=sys.stderr)
        return 1
    return run.seen.get("exitCode") or 0


if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] != "example":
        print("Aufruf: wine_harness.py example [SITZUNG.json] [Antworten wie bei glattmark-sim]", file=sys.stderr)
        sys.exit(2)
    try:
        sys.exit(example(sys.argv[2:]))
    except HarnessError as error:
        print("wine_harness: %s" % error, file=sys.stderr)
        sys.exit(1)
