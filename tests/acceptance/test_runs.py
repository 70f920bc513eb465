"""Whole runs of glattmark-sim: the row on the sheet, the second run, leaving the dialog, Normfix,
sorting, alignment, start-up errors, the terminal dialog and the command line."""

import json
import os
import tempfile
import unittest

from sim_harness import (CAPTION, POINT, SimTestCase, drawing_session, everything, ini, normalised, note,
                         road_session, run_sim, slot, symbol, toggle_24, user_content)

OWN_NOTES = ("glmLNote", "glmRNote")


def own_symbols(result):
    """The program's symbols on the sheet itself, in the order they stand there."""
    return [s for s in result.sheet()["symbols"] if s["name"].startswith("glmSymbol")]


def row_order(result):
    """Names of the listed symbols from left to right (the summary excluded)."""
    listed = [s for s in own_symbols(result) if s["name"] != "glmSymbol99"]
    return [s["name"] for s in sorted(listed, key=lambda s: s["x"])]


def texts(s, slots=range(1, 11)):
    return [slot(s, n) for n in slots]


class RoadOfOneRun(SimTestCase):
    """Three symbols Ra 3,2, Ra 3,2 and Ra 1,6, no earlier output; the user picks Spanend and Ra 6,3."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = road_session()
        cls.result = run_sim(cls.session, ["--kind", "1", "--rough", "6,3", "--method", "gefräst"])

    def test_ends_cleanly(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        self.assertEqual(self.result.transcript["ending"], "ok")
        self.assertEqual(self.result.transcript["messages"], [])
        self.assertEqual(self.result.stderr, "")

    def test_dialog_proposed_the_configured_standards(self):
        dialog = self.result.transcript["dialog"]
        self.assertEqual(dialog["caption"], CAPTION)
        self.assertEqual(dialog["kind"], {"items": ["Grundlegend", "Spanend", "Roh"], "index": 1, "text": "Spanend"})
        self.assertEqual(dialog["picture"], 102)
        self.assertEqual(dialog["rough"]["items"], ["0,8", "1,6", "3,2", "6,3", "12,5", "25"])
        self.assertEqual(dialog["rough"]["text"], "3,2")
        self.assertEqual(dialog["roughLabel"], "Rauheit (Ra)")
        self.assertEqual(dialog["method"]["text"], "gefräst")
        self.assertEqual(dialog["normFix"], {"visible": True, "enabled": True, "checked": True})

    def test_writes_summary_brackets_and_the_two_distinct_symbols(self):
        self.assertEqual([s["name"] for s in own_symbols(self.result)], ["glmSymbol99", "glmSymbol01", "glmSymbol02"])
        summary = self.result.symbol("glmSymbol99")
        self.assertEqual(summary["type"], 1)
        self.assertEqual(texts(summary, [1, 2, 3, 4, 5, 6, 7]), ["", "gefräst", "Ra", "6,3", "", "", ""])
        first = self.result.symbol("glmSymbol01")
        self.assertEqual(texts(first, [2, 3, 4]), ["", "Ra", "3,2"])
        second = self.result.symbol("glmSymbol02")
        self.assertEqual(texts(second, [2, 3, 4]), ["geschliffen", "Ra", "1,6"])
        for s in own_symbols(self.result):
            self.assertEqual(s["textFormat"]["typeFaceName"], "Arial")
            self.assertNear(s["textFormat"]["charHeight"], 14 / 4000)
        self.assertEqual(self.result.note("glmLNote")["text"], "(")
        self.assertEqual(self.result.note("glmRNote")["text"], ")")
        for name in OWN_NOTES:
            format_ = self.result.note(name)["textFormat"]
            self.assertEqual(format_["typeFaceName"], "Arial")
            self.assertNear(format_["charHeight"], 10 * POINT)
            self.assertFalse(format_["bold"])

    def test_places_the_row_as_laid_out(self):
        layout = self.result.transcript["layout"]
        records = layout["records"]
        self.assertEqual([r["name"] for r in records], ["glmSymbol99", "glmSymbol01", "glmSymbol02"])
        base_x, base_y = layout["basePoint"]
        self.assertNear(base_x, 0.23)
        self.assertNear(base_y, 0.065)
        self.assertNear(layout["symbolGap"], 0.01)
        self.assertNear(layout["leadGap"], 0.0038)
        self.assertNear(layout["padGap"], 0.0021)
        self.assertEqual(layout["alignShift"], 0)
        gaps = layout["symbolGap"] + layout["padGap"]
        self.assertNear(records[0]["x"], base_x + layout["leadGap"])
        self.assertNear(records[1]["x"], records[0]["x"] + records[0]["xWidth"] + gaps + layout["bracketWidth"] +
                        records[1]["xOffset"])
        self.assertNear(records[2]["x"], records[1]["x"] + records[1]["xWidth"] + gaps + records[2]["xOffset"])
        self.assertNear(layout["lBracketPos"][0], base_x + records[0]["xWidth"] + gaps)
        self.assertNear(layout["rBracketPos"][0], base_x + layout["rowWidth"] - layout["bracketWidth"])
        self.assertNear(layout["lBracketPos"][1], base_y + 0.68 * 10 / 2540)
        for record in records:
            placed = self.result.symbol(record["name"])
            self.assertNear(placed["x"], record["x"])
            self.assertNear(placed["y"], base_y)
        for name, position in (("glmLNote", layout["lBracketPos"]), ("glmRNote", layout["rBracketPos"])):
            self.assertNear(self.result.note(name)["x"], position[0])
            self.assertNear(self.result.note(name)["y"], position[1])
        self.assertGreater(layout["bracketWidth"], 0)
        self.assertGreater(records[1]["xWidth"], 0)

    def test_measured_in_the_configured_fonts(self):
        measured = self.result.transcript["measurements"]
        self.assertIn({"text": "(", "font": "Arial", "size": 10}, [{k: m[k] for k in ("text", "font", "size")}
                                                                 for m in measured])
        self.assertIn("6,3", [m["text"] for m in measured])
        self.assertTrue(all(m["width"] > 0 for m in measured))
        self.assertNotIn("", [m["text"] for m in measured])

    def test_leaves_the_users_annotations_and_rebuilds_once(self):
        self.assertEqual(normalised(user_content(self.result.session)), normalised(user_content(self.session)))
        self.assertEqual(self.result.session["stats"]["rebuilds"], 1)
        self.assertTrue(toggle_24(self.result.session))


class SecondRun(SimTestCase):
    def test_replaces_the_row_and_proposes_the_earlier_summary(self):
        session = road_session()
        first = run_sim(session, ["--kind", "1", "--rough", "6,3", "--method", "gedreht"])
        self.assertEqual(first.returncode, 0, first.stderr)
        second = run_sim(first.session)
        self.assertEqual(second.returncode, 0, second.stderr)

        dialog = second.transcript["dialog"]
        self.assertEqual(dialog["kind"]["text"], "Spanend")
        self.assertEqual(dialog["rough"]["text"], "6,3")
        self.assertEqual(dialog["method"]["text"], "gedreht")
        names = sorted(s["name"] for s in second.symbols() if s["name"].startswith("glm"))
        self.assertEqual(names, ["glmSymbol01", "glmSymbol02", "glmSymbol99"])
        self.assertEqual(sorted(n["name"] for n in second.notes() if n["name"].startswith("glm")), list(OWN_NOTES))
        self.assertEqual(texts(second.symbol("glmSymbol99"), [2, 3, 4]), ["gedreht", "Ra", "6,3"])
        self.assertEqual(normalised(user_content(second.session)), normalised(user_content(session)))

    def test_a_value_that_left_the_list_is_still_proposed(self):
        first = run_sim(road_session(), ["--rough", "7,5", "--kind", "2"])
        second = run_sim(first.session, ["--cancel"])
        self.assertEqual(second.transcript["dialog"]["rough"]["text"], "7,5")
        self.assertNotIn("7,5", second.transcript["dialog"]["rough"]["items"])
        self.assertEqual(second.transcript["dialog"]["kind"]["text"], "Roh")
        self.assertEqual(second.transcript["dialog"]["picture"], 103)
        # Kind "Roh" writes no roughness name.
        self.assertEqual(texts(first.symbol("glmSymbol99"), [3, 4]), ["", "7,5"])


class LeavingWithoutOk(SimTestCase):
    def test_abbruch_and_close_box_change_nothing(self):
        earlier = run_sim(road_session(), ["--rough", "6,3"]).session
        earlier.pop("stats")
        earlier["documents"][0]["sheets"][0]["symbols"].append(symbol("Oberflächensymbol9", 0.3, 0.25, {6: "Ra 3.2"}))
        for option, ending in (("--cancel", "cancel"), ("--close", "close")):
            with self.subTest(option=option):
                result = run_sim(earlier, [option])
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.transcript["ending"], ending)
                self.assertEqual(result.transcript["messages"], [])
                self.assertIsNone(result.transcript["layout"])
                self.assertEqual(everything(result.session), everything(earlier))
                self.assertEqual(result.session["stats"]["rebuilds"], 0)
                self.assertTrue(toggle_24(result.session))


def normfix_session():
    """The Normfix cases: (texts before, expected slots 3..6 after, corrected)."""
    cases = [
        ({6: "Ra 3.2"}, ["Ra", "3,2", "", ""], True),
        ({5: "Rz 6.3"}, ["Rz", "6,3", "", ""], True),
        ({6: "3.2"}, ["Ra", "3,2", "", ""], True),
        ({6: "ra(3.2)"}, ["ra", "(3,2)", "", ""], True),
        ({5: "(3.2)"}, ["Ra", "3,2", "", ""], True),
        ({6: "Ra  3.2"}, ["Ra", "3,2", "", ""], True),
        ({3: "Ra", 4: "3.2", 6: "1.6"}, ["Ra", "3,2", "", "1,6"], True),
        ({3: "Ra", 4: "3,2", 6: "1.6"}, ["Ra", "3,2", "", "1.6"], False),
        ({4: "3,2", 6: "Ra 1.6"}, ["", "3,2", "", "Ra 1.6"], False),
        ({6: "Ra 3.2"}, ["Ra", "3,2", "", ""], True),  # a repeat of the first: corrected too
    ]
    symbols = [symbol("Symbol%d" % (i + 1), 0.03 + 0.04 * i, 0.25, before) for i, (before, _, _) in enumerate(cases)]
    # Half of them stand in a drawing view.
    session = drawing_session(symbols=symbols[:5],
                              views=[{"name": "Zeichenansicht1", "referencedModel": "", "symbols": symbols[5:],
                                      "notes": []}])
    return session, cases


class Normfix(SimTestCase):
    def check_corrected(self, result, cases, corrected):
        for i, (before, after, fixable) in enumerate(cases):
            with self.subTest(symbol=i + 1, before=before):
                s = result.symbol("Symbol%d" % (i + 1))
                if corrected and fixable:
                    self.assertEqual(texts(s, [3, 4, 5, 6]), after)
                else:
                    self.assertEqual(texts(s, [3, 4, 5, 6]), [before.get(n, "") for n in (3, 4, 5, 6)])

    def test_corrects_every_collected_symbol_and_reports_the_count(self):
        session, cases = normfix_session()
        result = run_sim(session, ["--user", "anna"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.check_corrected(result, cases, True)
        self.assertEqual(result.messages(), [{"window": "messagebox", "caption": CAPTION,
                                              "text": "Normfix: 8 Symbol(e) korrigiert."}])
        self.assertIn(CAPTION + ": Normfix: 8 Symbol(e) korrigiert.", result.stderr)
        # Equal after correction: one listed record each; the names stay those of the scan.
        self.assertEqual(row_order(result), ["glmSymbol01", "glmSymbol02", "glmSymbol04", "glmSymbol07",
                                             "glmSymbol08", "glmSymbol09"])

    def test_unchecked_box_corrects_nothing(self):
        session, cases = normfix_session()
        result = run_sim(session, ["--normfix", "0"])
        self.check_corrected(result, cases, False)
        self.assertEqual(result.messages(), [])
        self.assertEqual(len(row_order(result)), 9)

    def test_superuser_list_decides_who_may_uncheck(self):
        # A count typed far too long starts as quickly as the right one (the run would otherwise time out).
        for count in ("1", "2147483647"):
            with self.subTest(SuperUser=count):
                config = ini(NormFix={"SuperUser": count, "user01": "chef"})
                session, cases = normfix_session()
                locked = run_sim(session, ["--user", "anna", "--normfix", "0"], config=config)
                self.assertEqual(locked.transcript["dialog"]["normFix"],
                                 {"visible": True, "enabled": False, "checked": True})
                self.check_corrected(locked, cases, True)

                listed = run_sim(session, ["--user", "Chef", "--normfix", "0"], config=config)
                self.assertEqual(listed.transcript["dialog"]["normFix"],
                                 {"visible": True, "enabled": True, "checked": True})
                self.check_corrected(listed, cases, False)

    def test_disabled_normfix_never_runs(self):
        session, cases = normfix_session()
        result = run_sim(session, ["--normfix", "1"], config=ini(NormFix={"enabled": "0"}))
        self.assertFalse(result.transcript["dialog"]["normFix"]["visible"])
        self.check_corrected(result, cases, False)

    def test_no_feedback_corrects_silently(self):
        session, cases = normfix_session()
        result = run_sim(session, config=ini(NormFix={"feedback": "0"}))
        self.check_corrected(result, cases, True)
        self.assertEqual(result.messages(), [])


class Sorting(SimTestCase):
    def session(self):
        return drawing_session(symbols=[
            symbol("S1", 0.05, 0.2, {3: "Ra", 4: "6,3"}),
            symbol("S2", 0.10, 0.2, {3: "Ra", 4: "1,6"}),
            symbol("S3", 0.15, 0.2, {2: "poliert"}),
            symbol("S4", 0.20, 0.2, {3: "Ra", 4: "3,2"}),
        ])

    def test_sort_1_orders_by_roughness_with_no_value_last(self):
        result = run_sim(self.session(), ["--rough", "12,5"], config=ini(main={"Sort": "1"}))
        self.assertEqual(row_order(result), ["glmSymbol02", "glmSymbol04", "glmSymbol01", "glmSymbol03"])

    def test_any_other_value_keeps_the_order_of_discovery(self):
        for value in ("0", "2"):
            with self.subTest(sort=value):
                result = run_sim(self.session(), ["--rough", "12,5"], config=ini(main={"Sort": value}))
                self.assertEqual(row_order(result), ["glmSymbol01", "glmSymbol02", "glmSymbol03", "glmSymbol04"])

    def test_roughness_is_read_under_the_regional_separator(self):
        session = drawing_session(symbols=[symbol("S1", 0.05, 0.2, {3: "Ra", 4: "12.5"}),
                                           symbol("S2", 0.10, 0.2, {3: "Ra", 4: "2.25"})])
        config = ini(main={"Sort": "1"}, NormFix={"enabled": "0"})
        point = run_sim(session, ["--decimal", "."], config=config)
        self.assertEqual(row_order(point), ["glmSymbol02", "glmSymbol01"])
        # Under a decimal comma the point separates thousands: 12.5 reads 125, 2.25 reads 225.
        comma = run_sim(session, ["--decimal", ","], config=config)
        self.assertEqual(row_order(comma), ["glmSymbol01", "glmSymbol02"])

    def test_the_summarys_equal_is_not_listed(self):
        result = run_sim(self.session(), ["--rough", "3,2", "--kind", "1", "--method", ""],
                         config=ini(main={"Sort": "1"}))
        self.assertEqual(row_order(result), ["glmSymbol02", "glmSymbol01", "glmSymbol03"])


class Alignment(SimTestCase):
    def test_halign_1_ends_the_row_at_the_base_point(self):
        result = run_sim(road_session(), config=ini(main={"HAlign": "1"}))
        self.assertEqual(result.returncode, 0, result.stderr)
        layout = result.transcript["layout"]
        base_x = layout["basePoint"][0]
        self.assertNear(layout["alignShift"], -layout["rowWidth"])
        self.assertNear(layout["rBracketPos"][0], base_x - layout["bracketWidth"])
        self.assertNear(result.symbol("glmSymbol99")["x"], base_x + layout["leadGap"] - layout["rowWidth"])
        self.assertTrue(all(s["x"] < base_x for s in own_symbols(result)))


class StartUpErrors(SimTestCase):
    def check_error(self, result, text):
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.messages(), [{"window": "error", "caption": CAPTION, "text": text}])
        self.assertEqual(result.transcript["ending"], "error")
        self.assertIsNone(result.transcript["dialog"])
        self.assertIn(CAPTION + ": " + text, result.stderr)

    def test_no_session_running(self):
        session = road_session()
        session["running"] = False
        self.check_error(run_sim(session), "Keine laufende SolidWorks-Sitzung gefunden.")

    def test_no_document(self):
        session = road_session()
        session["activeDocument"] = None
        self.check_error(run_sim(session), "Kein Dokument geöffnet.")

    def test_no_document_while_the_file_still_lists_a_selection(self):
        session = road_session()
        session["selection"] = [{"type": "NOTE", "name": "DetailItem1@Blatt1"}]
        session["activeDocument"] = None
        result = run_sim(session)
        self.check_error(result, "Kein Dokument geöffnet.")
        self.assertEqual(result.session["selection"], session["selection"])

    def test_a_part_instead_of_a_drawing(self):
        part = {"path": "C:\\Modelle\\Welle.SLDPRT", "type": 1}
        # The example drawing with its type changed: the sheet fields stay as written and go unused.
        copied = dict(part, currentSheet="Blatt1", sheets=[])
        assembly = dict(copied, path="C:\\Modelle\\Getriebe.SLDASM", type=2)
        for document in (part, copied, assembly):
            with self.subTest(document=document):
                session = {"format": "glattmark-cad-session/1", "running": True, "activeDocument": 0,
                           "documents": [document]}
                result = run_sim(session)
                self.check_error(result, "Kein Zeichnung geöffnet.")
                self.assertEqual(result.session["documents"], [document])

    def test_unknown_sheet_formats(self):
        user_defined = drawing_session(symbols=[symbol("S1", 0.1, 0.1, {3: "Ra", 4: "3,2"})],
                                       properties=(12, 12, 1, 1, 0, 0.42, 0.297))
        result = run_sim(user_defined, config=ini(main={"FormatCount": "2"}))
        self.check_error(result, "Blattformat (4200297) nicht gefunden. Bitte Konfiguration prüfen.")
        self.assertEqual(everything(result.session), everything(user_defined))

        a2 = drawing_session(properties=(9, 9, 1, 1, 0, 0.594, 0.42))
        self.check_error(run_sim(a2), "Blattformat (9) nicht gefunden. Bitte Konfiguration prüfen.")

    def test_a_configured_user_defined_format_is_accepted(self):
        user_defined = drawing_session(symbols=[symbol("S1", 0.1, 0.1, {3: "Ra", 4: "3,2"})],
                                       properties=(12, 12, 1, 1, 0, 0.42, 0.297))
        result = run_sim(user_defined)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.transcript["layout"]["basePoint"], [0.3, 0.04])


class Answers(SimTestCase):
    def test_typing_into_the_kind_box_brings_the_chosen_kind_back(self):
        result = run_sim(road_session(), ["--kind", "2", "--type-kind", "Spanend"])
        self.assertEqual(result.symbol("glmSymbol99")["type"], 2)

    def test_terminal_dialog(self):
        result = run_sim(road_session(), ["--interactive"], stdin="s\n2\nr\n12,5\nm\npoliert\no\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        summary = result.symbol("glmSymbol99")
        self.assertEqual(summary["type"], 2)
        self.assertEqual(texts(summary, [2, 3, 4]), ["poliert", "", "12,5"])
        self.assertIn("Rauheit (Ra)", result.stdout)
        # The transcript keeps the proposal, not the answers.
        self.assertEqual(result.transcript["dialog"]["kind"]["text"], "Spanend")

    def test_end_of_input_in_the_terminal_closes_the_window(self):
        session = road_session()
        result = run_sim(session, ["--interactive"], stdin="")
        self.assertEqual(result.transcript["ending"], "close")
        self.assertEqual(everything(result.session), everything(session))

    def test_abbruch_in_the_terminal(self):
        result = run_sim(road_session(), ["--interactive"], stdin="n\na\n")
        self.assertEqual(result.transcript["ending"], "cancel")


class CommandLine(SimTestCase):
    def run_bad(self, args, session_text=None):
        workdir = tempfile.mkdtemp(prefix="glm-acceptance-")
        session_path = os.path.join(workdir, "session.json")
        text = session_text if session_text is not None else json.dumps(road_session())
        with open(session_path, "w", encoding="utf-8") as file:
            file.write(text)
        before = os.stat(session_path).st_mtime_ns
        out_path = os.path.join(workdir, "out.json")
        import subprocess
        from sim_harness import SIM
        completed = subprocess.run([SIM] + [a.replace("SESSION", session_path).replace("OUT", out_path)
                                            for a in args],
                                   capture_output=True, text=True, encoding="utf-8", timeout=60)
        with open(session_path, encoding="utf-8") as file:
            after_text = file.read()
        return completed, text == after_text and before == os.stat(session_path).st_mtime_ns, os.path.exists(
            out_path)

    def test_unusable_command_lines_exit_2_and_touch_nothing(self):
        cases = [
            [],
            ["SESSION", "--kind", "3"],
            ["SESSION", "--kind"],
            ["SESSION", "--normfix", "2"],
            ["SESSION", "--frobnicate"],
            ["SESSION", "--out"],
            ["--out", "OUT", "SESSION", "--kind", "x"],
            ["SESSION", "--cancel", "--close"],
            ["/nonexistent/session.json", "--out", "OUT"],
        ]
        for args in cases:
            with self.subTest(args=args):
                completed, untouched, out_written = self.run_bad(args)
                self.assertEqual(completed.returncode, 2, completed.stderr)
                self.assertTrue(untouched)
                self.assertFalse(out_written)
                self.assertIn("glattmark-sim: ", completed.stderr)

    def test_unusable_session_files_exit_2_and_stay_as_they_were(self):
        for text in ("", "{", "[]", '{"format": "etwas-anderes/1"}',
                     '{"format": "glattmark-cad-session/1", "activeDocument": 5, "documents": []}'):
            with self.subTest(text=text):
                completed, untouched, out_written = self.run_bad(["SESSION"], session_text=text)
                self.assertEqual(completed.returncode, 2, completed.stderr)
                self.assertTrue(untouched)
                self.assertIn("glattmark-sim: ", completed.stderr)

    def test_without_out_the_session_is_written_back(self):
        result = run_sim(road_session(), out=False)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("stats", result.session)
        self.assertEqual(len(own_symbols(result)), 3)

    def test_svg_picture_of_the_sheet(self):
        workdir = tempfile.mkdtemp(prefix="glm-acceptance-")
        svg_path = os.path.join(workdir, "blatt.svg")
        result = run_sim(road_session(), ["--svg", svg_path], workdir=workdir)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(svg_path, encoding="utf-8") as file:
            svg = file.read()
        self.assertIn("<svg", svg)
        for name in ("glmSymbol99", "glmSymbol01", "glmLNote", "Oberflächensymbol3", "DetailItem1"):
            self.assertIn("<title>%s</title>" % name, svg)


if __name__ == "__main__":
    unittest.main()
