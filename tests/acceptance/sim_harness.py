"""Runs the built glattmark-sim on session files and reads what it writes.

The program comes from the environment variable GLM_SIM, the repository from GLM_SOURCE_DIR. Every run
works in its own temporary folder with its own INI file, so that runs never touch the repository or
each other.
"""

import copy
import json
import os
import shutil
import subprocess
import tempfile
import unittest

SIM = os.environ.get("GLM_SIM", "")
SOURCE_DIR = os.environ.get("GLM_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
EXAMPLES = os.path.join(SOURCE_DIR, "examples")

CAPTION = "SW Oberflächen - Assistent"
POINT = 0.0254 / 72  # metres per typographic point

TEXT_FORMAT = {"typeFaceName": "Arial", "charHeight": 0.0035, "bold": False}

# The configuration every test starts from; a test changes single keys with ini(...).
BASE_INI = {
    "main": {"FormatCount": "3", "BracketBase": "0", "HAlign": "0", "Sort": "0", "StandardType": "1"},
    "SymbolFont": {"FontName": "Arial", "FontHeight": "14"},
    "BracketFont": {"FontName": "Arial", "FontHeight": "10"},
    "Format01": {"Name": "DIN A3 quer", "FormatCode": "8", "BasePointX": "0,23", "BasePointY": "0,065"},
    "Format02": {"Name": "DIN A4 hoch", "FormatCode": "7", "BasePointX": "0,02", "BasePointY": "0,065"},
    "Format03": {"Name": "Benutzer 420 x 297", "FormatCode": "4200297", "BasePointX": "0,3",
                 "BasePointY": "0,04"},
    "RoughList": {"Count": "6", "Rough01": "0,8", "Rough02": "1,6", "Rough03": "3,2", "Rough04": "6,3",
                  "Rough05": "12,5", "Rough06": "25", "Name": "Ra", "Standard": "3"},
    "MethodeList": {"Count": "3", "Methode01": "gefräst", "Methode02": "gedreht", "Methode03": "geschliffen",
                    "Standard": "1"},
    "NormFix": {"enabled": "1", "feedback": "1", "SuperUser": "0"},
}


def ini(**sections):
    """BASE_INI with changes: ini(main={"Sort": "1"}, NormFix={"enabled": "0"})."""
    result = copy.deepcopy(BASE_INI)
    for section, keys in sections.items():
        result.setdefault(section, {}).update(keys)
    return result


def ini_text(config):
    lines = []
    for section, keys in config.items():
        lines.append("[%s]" % section)
        lines.extend("%s=%s" % (key, value) for key, value in keys.items())
        lines.append("")
    return "\r\n".join(lines)


def symbol(name, x, y, texts, kind=1, direction=0, all_around=False):
    """A surface-finish symbol; texts maps slot numbers to texts."""
    return {"name": name, "type": kind, "allAround": all_around, "direction": direction,
            "texts": {str(slot): text for slot, text in texts.items()}, "x": x, "y": y,
            "textFormat": dict(TEXT_FORMAT)}


def note(name, text, x, y):
    return {"name": name, "text": text, "x": x, "y": y, "angle": 0, "textFormat": dict(TEXT_FORMAT)}


def drawing_session(symbols=(), notes=(), views=(), properties=(8, 8, 1, 1, 0, 0.42, 0.297), sheet="Blatt1"):
    """A running session with one active drawing of one sheet."""
    return {
        "format": "glattmark-cad-session/1",
        "running": True,
        "activeDocument": 0,
        "documents": [{
            "path": "C:\\Zeichnungen\\Test.SLDDRW", "type": 3, "currentSheet": sheet,
            "textFormats": {"0": dict(TEXT_FORMAT), "5": dict(TEXT_FORMAT)},
            "sheets": [{"name": sheet, "properties": list(properties), "symbols": list(symbols),
                        "notes": list(notes), "views": list(views)}],
        }],
    }


def road_session():
    """The road of one run: Ra 3,2 on the sheet, Ra 3,2 and Ra 1,6 in a view, one user note."""
    return drawing_session(
        symbols=[symbol("Oberflächensymbol1", 0.085, 0.2, {3: "Ra", 4: "3,2"})],
        notes=[note("DetailItem1", "Allgemeintoleranz ISO 2768-m", 0.24, 0.05)],
        views=[{"name": "Zeichenansicht1", "referencedModel": "C:\\Modelle\\Welle.SLDPRT",
                "symbols": [symbol("Oberflächensymbol2", 0.16, 0.215, {3: "Ra", 4: "3,2"}),
                            symbol("Oberflächensymbol3", 0.23, 0.19, {2: "geschliffen", 3: "Ra", 4: "1,6"})],
                "notes": []}])


def load_example(name):
    with open(os.path.join(EXAMPLES, name), encoding="utf-8") as file:
        return json.load(file)


class Result:
    def __init__(self, returncode, stdout, stderr, session, transcript, session_path, out_path):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.session = session          # the session written back (None when none was written)
        self.transcript = transcript    # None when none was written
        self.session_path = session_path
        self.out_path = out_path

    # Views on the session written back.
    def sheet(self, index=0):
        document = self.session["documents"][self.session["activeDocument"]]
        return document["sheets"][index]

    def symbols(self):
        """Every symbol of the first sheet, those in views included."""
        sheet = self.sheet()
        return sheet.get("symbols", []) + [s for view in sheet.get("views", []) for s in view.get("symbols", [])]

    def notes(self):
        sheet = self.sheet()
        return sheet.get("notes", []) + [n for view in sheet.get("views", []) for n in view.get("notes", [])]

    def symbol(self, name):
        found = [s for s in self.symbols() if s["name"] == name]
        assert len(found) == 1, "%d symbols named %s" % (len(found), name)
        return found[0]

    def note(self, name):
        found = [n for n in self.notes() if n["name"] == name]
        assert len(found) == 1, "%d notes named %s" % (len(found), name)
        return found[0]

    def messages(self, window=None):
        return [m for m in self.transcript["messages"] if window is None or m["window"] == window]


def run_sim(session, args=(), config=None, ini_name="glattmark.ini", stdin=None, out=True, transcript=True,
            workdir=None, session_text=None):
    """Runs glattmark-sim on a copy of session (a dict) in a fresh folder.

    out: write to --out (True) or back into the session file (False). The INI file config (default
    BASE_INI) is written beside it unless config is False.
    """
    own_dir = workdir is None
    workdir = workdir or tempfile.mkdtemp(prefix="glm-acceptance-")
    try:
        session_path = os.path.join(workdir, "session.json")
        with open(session_path, "w", encoding="utf-8") as file:
            file.write(session_text if session_text is not None else json.dumps(session, ensure_ascii=False))
        command = [SIM, session_path]
        if config is not False:
            ini_path = os.path.join(workdir, ini_name)
            with open(ini_path, "w", encoding="cp1252", newline="") as file:
                file.write(ini_text(config or BASE_INI))
            command += ["--ini", ini_path]
        out_path = os.path.join(workdir, "out.json") if out else session_path
        if out:
            command += ["--out", out_path]
        transcript_path = os.path.join(workdir, "transcript.json")
        if transcript:
            command += ["--transcript", transcript_path]
        command += list(args)
        completed = subprocess.run(command, input=stdin if stdin is not None else "", capture_output=True,
                                   text=True, encoding="utf-8", timeout=120)
        written = None
        if os.path.exists(out_path):
            with open(out_path, encoding="utf-8") as file:
                try:
                    written = json.load(file)
                except ValueError:
                    written = None
        read_transcript = None
        if transcript and os.path.exists(transcript_path):
            with open(transcript_path, encoding="utf-8") as file:
                read_transcript = json.load(file)
        return Result(completed.returncode, completed.stdout, completed.stderr, written, read_transcript,
                      session_path, out_path)
    finally:
        if own_dir:
            shutil.rmtree(workdir, ignore_errors=True)


def user_content(session):
    """What the user owns in a session: every annotation not written by the program, by name."""
    document = session["documents"][session["activeDocument"]]
    owned = {}
    for sheet in document.get("sheets", []):
        holders = [sheet] + sheet.get("views", [])
        for holder in holders:
            for s in holder.get("symbols", []):
                if not s["name"].startswith("glmSymbol"):
                    owned[(sheet["name"], "symbol", s["name"])] = s
            for n in holder.get("notes", []):
                if n["name"] not in ("glmLNote", "glmRNote"):
                    owned[(sheet["name"], "note", n["name"])] = n
    return owned


def toggle_24(session):
    """Toggle 24 as the host holds it: on unless the file says otherwise."""
    return session.get("application", {}).get("toggles", {}).get("24", True)


def normalised(annotations):
    """Annotations in a form that does not depend on how the file spelled them."""
    result = {}
    for key, a in annotations.items():
        entry = {k: v for k, v in a.items() if k not in ("texts", "textFormat")}
        if "texts" in a or key[1] == "symbol":
            entry["texts"] = [a.get("texts", {}).get(str(n), "") for n in range(1, 11)]
            entry["texts"] = [t if t is not None else None for t in entry["texts"]]
        format_ = a.get("textFormat", {})
        entry["textFormat"] = (format_.get("typeFaceName", "Arial"), format_.get("charHeight", 0.0035),
                               format_.get("bold", False))
        entry.setdefault("allAround", False)
        entry.setdefault("direction", 0)
        entry.setdefault("angle", 0)
        result[key] = entry
    return result


def everything(session):
    """Every annotation of the session's active document, own output included, by sheet and name."""
    document = session["documents"][session["activeDocument"]]
    found = {}
    for sheet in document.get("sheets", []):
        for holder in [sheet] + sheet.get("views", []):
            for s in holder.get("symbols", []):
                found[(sheet["name"], "symbol", s["name"], holder.get("name"))] = s
            for n in holder.get("notes", []):
                found[(sheet["name"], "note", n["name"], holder.get("name"))] = n
    return normalised(found)


def slot(symbol_object, n):
    """Text slot n as the host reads it: a missing slot is the empty text."""
    value = symbol_object.get("texts", {}).get(str(n), "")
    return value


class SimTestCase(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        if not SIM or not os.path.exists(SIM):
            raise unittest.SkipTest("GLM_SIM does not name the built glattmark-sim")

    def assertNear(self, actual, expected, tolerance=1e-9, msg=None):
        self.assertLessEqual(abs(actual - expected), tolerance, msg or "%r is not %r" % (actual, expected))
