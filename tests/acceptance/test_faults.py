"""A host failure injected at every call position of a whole run on the examples, one run per position.

Whatever fails, the program must end clearly (exit 0 or 1, never a signal or a hang), say how it ended,
show an error message exactly when it ends with an error, and lose or change nothing the user owns,
except for the texts Normfix corrects and the removal of the program's own earlier output.
"""

import concurrent.futures
import unittest

from sim_harness import SimTestCase, ini, load_example, run_sim, user_content

ENDINGS = {"ok", "cancel", "close", "error"}
NORMFIX_SLOTS = {"3", "4", "5", "6"}


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
        for message in errors:
            if not message["text"] or message["text"] not in result.stderr:
                found.append("error message not shown on standard error: %r" % message["text"])
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


class FaultInjection(SimTestCase):
    def run_all(self, scenario, faults):
        failures = []
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for fault, found in zip(faults, pool.map(scenario.problems, faults)):
                if found:
                    failures.append("%s %s: %s" % (scenario.name, fault, "; ".join(found)))
        self.assertGreater(len(faults), 20, "too few call positions: did the run reach the host?")
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
        scenario = Scenario("zweiter-lauf", load_example("zweiter-lauf.json"), [])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "error"} for m, k in scenario.positions()])

    def test_second_run_nothing_at_every_call(self):
        scenario = Scenario("zweiter-lauf", load_example("zweiter-lauf.json"), [])
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "nothing"} for m, k in scenario.positions()])

    def test_normfix_error_at_every_call(self):
        scenario = Scenario("normfix", load_example("normfix.json"), ["--user", "anna"],
                            config=ini(main={"Sort": "1"}))
        self.run_all(scenario, [{"member": m, "occurrence": k, "effect": "error"} for m, k in scenario.positions()])


if __name__ == "__main__":
    unittest.main()
