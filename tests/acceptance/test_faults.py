"""A host failure injected at every call position of a whole run on the examples, one run per position.

Whatever fails, the program must end clearly (exit 0 or 1, never a signal or a hang), say how it ended,
show one error message exactly when it ends with an error, and lose or change nothing the user owns,
except for the texts Normfix corrects and the removal of the program's own earlier output. A run that
ends with status 0 leaves exactly one row, the one it laid out; no run leaves an annotation of its own
making under the name the host gave it (unless the host went away before it could be deleted again); a
run whose removal of the earlier row failed writes nothing and does not rebuild.
"""

import concurrent.futures
import copy
import os
import unittest

from sim_harness import SimTestCase, everything, ini, load_example, run_sim, toggle_24, user_content

ENDINGS = {"ok", "cancel", "close", "error"}
NORMFIX_SLOTS = {"3", "4", "5", "6"}
OWN_NOTES = ("glmLNote", "glmRNote")
REMOVAL_FAILED = "Die vorhandene Zeile konnte nicht entfernt werden. Es wurde keine neue Zeile geschrieben."
PARTLY_CHANGED = " Die Zeichnung wurde eventuell nur teilweise geändert."
# Every how many call positions a sweep takes: 1, all of them, unless the build says otherwise (the sanitized
# build, where one run costs ten times as much, takes every fourth; the release build sweeps them all).
STRIDE = max(1, int(os.environ.get("GLM_FAULT_STRIDE", "1")))
# Calls whose "nothing" leaves one annotation of the row missing: no failure, the row is simply shorter.
NOT_CREATED = {"InsertSurfaceFinishSymbol3": "symbol", "InsertNote": "note"}


def is_own(key):
    """An annotation of the program's making, by its key in everything()."""
    return key[2].startswith("glmSymbol") or key[2] in OWN_NOTES


def moved_earlier_row(session, dy=0.1):
    """The session with its earlier row moved up by dy, so that what stays of it is told from the new row."""
    moved = copy.deepcopy(session)
    for sheet in moved["documents"][moved["activeDocument"]]["sheets"]:
        for holder in [sheet] + sheet.get("views", []):
            for item in holder.get("symbols", []) + holder.get("notes", []):
                if item["name"].startswith("glmSymbol") or item["name"] in OWN_NOTES:
                    item["y"] += dy
    return moved


def row_problems(result, fault):
    """Where the program's annotations on the sheet are not exactly the row the run laid out."""
    layout = result.transcript["layout"]
    if layout is None:
        return ["ended with status 0 without laying out a row"]
    places = {r["name"]: (r["x"], r["y"]) for r in layout["records"]}
    if len(layout["records"]) > 1:
        places.update({"glmLNote": tuple(layout["lBracketPos"]), "glmRNote": tuple(layout["rBracketPos"])})
    found = []
    present = set()
    for key, item in everything(result.session).items():
        if not is_own(key):
            continue
        present.add(key[2])
        place = places.get(key[2])
        if place is None or abs(item["x"] - place[0]) > 1e-9 or abs(item["y"] - place[1]) > 1e-9:
            found.append("%s %s is not part of the row laid out" % (key[1], key[2]))
    missing = sorted(set(places) - present)
    kind = NOT_CREATED.get(fault.get("member")) if fault.get("effect") == "nothing" else None
    allowed = 1 if kind and all((name in OWN_NOTES) == (kind == "note") for name in missing) else 0
    if len(missing) > allowed:
        found.append("the row lacks %s" % ", ".join(missing))
    return found


def canonical(annotation):
    """An annotation in a form independent of how the file spelled it."""
    entry = {k: v for k, v in annotation.items() if k not in ("texts", "textFormat")}
    if "texts" in annotation:
        entry["texts"] = {str(n): annotation["texts"].get(str(n), "") for n in range(1, 11)}
    format_ = annotation.get("textFormat", {})
    entry["textFormat"] = (format_.get("typeFaceName", "Arial"), format_.get("charHeight", 0.0035),
                           format_.get("bold", False))
    return entry


class Scenario:
    def __init__(self, name, session, args, config=None):
        self.name = name
        self.session = session
        self.args = args
        self.config = config
        clean = run_sim(session, args, config=config)
        assert clean.returncode == 0, "%s: the run without faults failed: %s" % (name, clean.stderr)
        self.calls = clean.session["stats"]["calls"]["byMember"]
        self.total = clean.session["stats"]["calls"]["total"]
        self.before = {key: canonical(a) for key, a in user_content(session).items()}
        self.corrected = {key: canonical(a) for key, a in user_content(clean.session).items()}

    def positions(self):
        for member, count in sorted(self.calls.items()):
            for occurrence in range(1, count + 1):
                yield member, occurrence

    def problems(self, fault):
        """Runs with one fault; returns what went wrong (empty when the run behaved)."""
        session = dict(self.session)
        session["faults"] = [fault]
        result = run_sim(session, self.args, config=self.config)
        found = []
        if result.returncode not in (0, 1):
            found.append("exit status %d: %s" % (result.returncode, result.stderr.strip()[-300:]))
            return found
        if result.transcript is None or result.session is None:
            found.append("no transcript or no session written")
            return found
        ending = result.transcript["ending"]
        errors = result.messages("error")
        if ending not in ENDINGS:
            found.append("unclear ending %r" % ending)
        if (ending == "error") != (result.returncode == 1) or (result.returncode == 1) != bool(errors):
            found.append("ending %s, exit %d, %d error messages" % (ending, result.returncode, len(errors)))
        if len(errors) > 1:
            found.append("%d error messages" % len(errors))
        for message in errors:
            if not message["text"] or message["text"] not in result.stderr:
                found.append("error message not shown on standard error: %r" % message["text"])
        found += self.drawing_problems(fault, result, [m["text"] for m in errors])
        after = {key: canonical(a) for key, a in user_content(result.session).items()}
        for key, original in self.before.items():
            if key not in after:
                found.append("lost %s %s" % (key[1], key[2]))
                continue
            now = after[key]
            corrected = self.corrected.get(key, original)
            for field in set(original) | set(now):
                if field == "texts":
                    for n, text in now.get("texts", {}).items():
                        allowed = {original["texts"][n]}
                        if n in NORMFIX_SLOTS:
                            allowed.add(corrected["texts"][n])
                        if text not in allowed:
                            found.append("%s %s slot %s changed to %r" % (key[1], key[2], n, text))
                elif original.get(field) != now.get(field):
                    found.append("%s %s: %s changed" % (key[1], key[2], field))
        return found

    def drawing_problems(self, fault, result, errors):
        """The row, strays and what a failed removal may change."""
        found = []
        before = everything(self.session)
        after = everything(result.session)
        added = [key for key in after if key not in before]
        # Gone, the host cannot delete what it created before it went.
        if fault.get("effect") != "disconnect" or result.returncode == 0:
            found += ["left %s %s under the host's name" % (key[1], key[2]) for key in added if not is_own(key)]
        if result.returncode == 0:
            found += row_problems(result, fault)
        if errors and errors[0].startswith(REMOVAL_FAILED):
            found += ["added %s %s after a failed removal" % (key[1], key[2]) for key in added]
            if errors[0] == REMOVAL_FAILED:
                found += ["deleted %s %s, yet the message says nothing" % (key[1], key[2])
                          for key in before if key not in after]
            elif errors[0] != REMOVAL_FAILED + PARTLY_CHANGED:
                found.append("unknown message %r" % errors[0])
            if result.session["stats"]["rebuilds"] != 0:
                found.append("rebuilt after a failed removal")
            if toggle_24(result.session) != toggle_24(self.session):
                found.append("toggle 24 changed after a failed removal")
        return found


# The second run's earlier row stands apart from where the new one goes.
SECOND = moved_earlier_row(load_example("zweiter-lauf.json"))


class FaultInjection(SimTestCase):
    def run_all(self, scenario, faults):
        self.assertGreater(len(faults), 20, "too few call positions: did the run reach the host?")
        faults = faults[::STRIDE]
        failures = []
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for fault, found in zip(faults, pool.map(scenario.problems, faults)):
                if found:
                    failures.append("%s %s: %s" % (scenario.name, fault, "; ".join(found)))
        self.assertEqual(failures[:15], [], "%d of %d runs misbehaved" % (len(failures), len(faults)))

    def test_first_run_error_at_every_call(self):
        scenario = Scenario("erster-lauf", load_example("erster-lauf.json"), ["--rough", "6,3"])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "error"} for m, k in scenario.positions()])

    def test_first_run_nothing_at_every_call(self):
        scenario = Scenario("erster-lauf", load_example("erster-lauf.json"), ["--rough", "6,3"])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "nothing"} for m, k in scenario.positions()])

    def test_first_run_disconnect_after_every_call(self):
        scenario = Scenario("erster-lauf", load_example("erster-lauf.json"), ["--rough", "6,3"])
        self.run_all(scenario, [{"afterCalls": n, "effect": "disconnect"} for n in range(scenario.total)])

    def test_second_run_error_at_every_call(self):
        scenario = Scenario("zweiter-lauf", SECOND, [])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "error"} for m, k in scenario.positions()])

    def test_second_run_nothing_at_every_call(self):
        scenario = Scenario("zweiter-lauf", SECOND, [])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "nothing"} for m, k in scenario.positions()])

    def test_second_run_disconnect_after_every_call(self):
        scenario = Scenario("zweiter-lauf", SECOND, [])
        self.run_all(scenario, [{"afterCalls": n, "effect": "disconnect"} for n in range(scenario.total)])

    def test_normfix_error_at_every_call(self):
        scenario = Scenario("normfix", load_example("normfix.json"), ["--user", "anna"],
                            config=ini(main={"Sort": "1"}))
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "error"} for m, k in scenario.positions()])


if __name__ == "__main__":
    unittest.main()
