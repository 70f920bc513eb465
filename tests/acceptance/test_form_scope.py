"""The two [main] keys beyond the classic row, through glattmark-sim: Form=1, the simplified row (one plain
basic symbol in the brackets), and Scope=1, the symbols of every sheet of the drawing in the list."""

import copy
import unittest

from sim_harness import CAPTION, SimTestCase, drawing_session, ini, road_session, run_sim, symbol
from test_runs import everything, normfix_session, own_symbols, row_order, texts

OWN_NOTES = ("glmLNote", "glmRNote")
A3 = [8, 8, 1, 1, 0, 0.42, 0.297]


def sheet(name, symbols=(), notes=(), views=()):
    return {"name": name, "properties": list(A3), "symbols": list(symbols), "notes": list(notes),
            "views": list(views)}


def view(name, symbols):
    return {"name": name, "referencedModel": "", "symbols": list(symbols), "notes": []}


def three_sheets():
    """Blatt2 is current and stands between the others in the file, so that the host's order of the sheets
    (reverse file order in the simulation) puts it neither first nor last. Blatt1 holds a symbol Normfix
    corrects; Blatt3 carries the row of an earlier run on that sheet and a repeat of Blatt2's Ra 3,2."""
    session = drawing_session()
    document = session["documents"][0]
    document["currentSheet"] = "Blatt2"
    document["sheets"] = [
        sheet("Blatt1", [symbol("B1-Ra12", 0.05, 0.2, {3: "Ra", 4: "12,5"})],
              views=[view("Ansicht1", [symbol("B1-Ra08", 0.1, 0.2, {2: "geläppt", 3: "Ra", 4: "0,8"}),
                                       symbol("B1-Rz63", 0.15, 0.2, {5: "Rz 6.3"})])]),
        sheet("Blatt2", [symbol("B2-Ra32", 0.05, 0.2, {3: "Ra", 4: "3,2"})],
              views=[view("Ansicht2", [symbol("B2-Ra16", 0.1, 0.2, {2: "geschliffen", 3: "Ra", 4: "1,6"})])]),
        sheet("Blatt3", [symbol("glmSymbol99", 0.23, 0.065, {3: "", 4: "25"}, kind=2),
                         symbol("glmSymbol01", 0.26, 0.065, {3: "Ra", 4: "0,4"}),
                         symbol("B3-Ra32", 0.05, 0.2, {3: "Ra", 4: "3,2"})],
              notes=[{"name": name, "text": text, "x": x, "y": 0.068, "angle": 0}
                     for name, text, x in (("glmLNote", "(", 0.25), ("glmRNote", ")", 0.28))],
              views=[view("Ansicht3", [symbol("B3-Ra63", 0.1, 0.2, {3: "Ra", 4: "6,3"})])]),
    ]
    return session


def sheet_content(session, name):
    """Every annotation of one sheet, normalised."""
    return {key: value for key, value in everything(session).items() if key[0] == name}


def own_names(result, sheet_index):
    s = result.sheet(sheet_index)
    holders = [s] + s.get("views", [])
    return sorted(a["name"] for h in holders for kind in ("symbols", "notes") for a in h.get(kind, [])
                  if a["name"].startswith("glm"))


def calls(result, member):
    return result.session["stats"]["calls"]["byMember"].get(member, 0)


def row_values(result, sheet_index=1):
    """Slots 3 and 4 of the listed symbols on a sheet (Blatt2 of three_sheets), from left to right."""
    listed = [s for s in result.sheet(sheet_index)["symbols"]
              if s["name"].startswith("glmSymbol") and s["name"] != "glmSymbol99"]
    return [" ".join(texts(s, [3, 4])) for s in sorted(listed, key=lambda s: s["x"])]


class SimplifiedRow(SimTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = road_session()
        cls.result = run_sim(cls.session, config=ini(main={"Form": "1"}))

    def test_the_brackets_hold_one_plain_basic_symbol(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        self.assertEqual([s["name"] for s in own_symbols(self.result)], ["glmSymbol99", "glmSymbol01"])
        basic = self.result.symbol("glmSymbol01")
        self.assertEqual((basic["type"], basic.get("direction", 0), basic.get("allAround", False)), (0, 0, False))
        self.assertEqual(texts(basic), [""] * 10)
        self.assertIsNotNone(basic.get("texts", {}).get("9", ""), "slot 9 is the empty text, not an empty value")
        self.assertEqual(basic["textFormat"]["typeFaceName"], "Arial")
        self.assertNear(basic["textFormat"]["charHeight"], 14 / 4000)
        self.assertEqual(texts(self.result.symbol("glmSymbol99"), [2, 3, 4]), ["gefräst", "Ra", "3,2"])
        self.assertEqual([self.result.note(name)["text"] for name in OWN_NOTES], ["(", ")"])

    def test_laid_out_by_the_classic_formulas_with_that_record(self):
        layout = self.result.transcript["layout"]
        summary, basic = layout["records"]
        self.assertEqual((basic["xOffset"], basic["xWidth"]), (0, 0))
        gaps = layout["symbolGap"] + layout["padGap"]
        self.assertNear(layout["rowWidth"], layout["symbolGap"] + summary["xWidth"] + gaps + 2 * layout["bracketWidth"])
        self.assertNear(basic["x"], summary["x"] + summary["xWidth"] + gaps + layout["bracketWidth"])
        self.assertNear(self.result.symbol("glmSymbol01")["x"], basic["x"])
        self.assertNear(self.result.note("glmRNote")["x"],
                        layout["basePoint"][0] + layout["rowWidth"] - layout["bracketWidth"])
        # Nothing of the sheet's symbols was measured: they are not in the row.
        self.assertNotIn("1,6", [m["text"] for m in self.result.transcript["measurements"]])

    def test_the_summary_alone_when_nothing_else_is_listed(self):
        session = drawing_session(symbols=[symbol("S1", 0.1, 0.2, {2: "gefräst", 3: "Ra", 4: "3,2"})])
        result = run_sim(session, config=ini(main={"Form": "1"}))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([s["name"] for s in own_symbols(result)], ["glmSymbol99"])
        self.assertEqual([n["name"] for n in result.notes() if n["name"] in OWN_NOTES], [])

    def test_any_other_value_lists_every_symbol(self):
        for value in ("0", "2", "", "ja"):
            with self.subTest(Form=value):
                result = run_sim(road_session(), config=ini(main={"Form": value}))
                self.assertEqual(row_order(result), ["glmSymbol01", "glmSymbol02"])

    def test_normfix_still_corrects_the_users_symbols(self):
        session, cases = normfix_session()
        result = run_sim(session, ["--user", "anna"], config=ini(main={"Form": "1"}))
        self.assertEqual(result.messages(), [{"window": "messagebox", "caption": CAPTION,
                                              "text": "Normfix: 8 Symbol(e) korrigiert."}])
        self.assertEqual(texts(result.symbol("Symbol1"), [3, 4, 5, 6]), ["Ra", "3,2", "", ""])
        self.assertEqual(row_order(result), ["glmSymbol01"])

    def test_switching_forms_replaces_the_row_completely(self):
        session = road_session()
        full = run_sim(session, ["--rough", "6,3"])
        simplified = run_sim(full.session, config=ini(main={"Form": "1"}))
        full_again = run_sim(simplified.session)
        expected = {"full": ["glmLNote", "glmRNote", "glmSymbol01", "glmSymbol02", "glmSymbol99"],
                    "simplified": ["glmLNote", "glmRNote", "glmSymbol01", "glmSymbol99"]}
        for name, result, form in (("first", full, "full"), ("simplified", simplified, "simplified"),
                                   ("full again", full_again, "full")):
            with self.subTest(run=name):
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(own_names(result, 0), expected[form])
                # Nothing else on the sheet: no annotation under a name the host gave.
                self.assertEqual(len(result.symbols()), 3 + len([n for n in expected[form] if "Symbol" in n]))
                self.assertEqual(len(result.notes()), 1 + 2)
        self.assertEqual(simplified.transcript["dialog"]["rough"]["text"], "6,3")
        self.assertEqual(texts(full_again.symbol("glmSymbol01"), [3, 4]), ["Ra", "3,2"])


class WholeDrawing(SimTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.session = three_sheets()
        cls.result = run_sim(cls.session, config=ini(main={"Scope": "1"}))

    def test_lists_the_current_sheet_first_then_the_others_in_the_hosts_order(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        # Blatt2, then Blatt3 and Blatt1 as the host returns them; Blatt3's repeat of Ra 3,2 is no new entry,
        # and Normfix made Blatt1's "Rz 6.3" a listed Rz 6,3.
        self.assertEqual(row_values(self.result), ["Ra 3,2", "Ra 1,6", "Ra 6,3", "Ra 12,5", "Ra 0,8", "Rz 6,3"])
        self.assertEqual(self.result.messages(), [{"window": "messagebox", "caption": CAPTION,
                                                   "text": "Normfix: 1 Symbol(e) korrigiert."}])
        self.assertEqual(calls(self.result, "GetViews"), 1)

    def test_the_row_stands_on_the_current_sheet_only(self):
        document = self.result.session["documents"][0]
        self.assertEqual(document["currentSheet"], "Blatt2")
        self.assertEqual(own_names(self.result, 1), ["glmLNote", "glmRNote"] +
                         ["glmSymbol%02d" % n for n in range(1, 7)] + ["glmSymbol99"])
        self.assertEqual(own_names(self.result, 0), [])

    def test_other_sheets_keep_their_rows_and_change_only_by_normfix(self):
        # Blatt3's earlier summary (Roh, 25) is neither listed nor the proposal.
        dialog = self.result.transcript["dialog"]
        self.assertEqual((dialog["kind"]["text"], dialog["rough"]["text"]), ("Spanend", "3,2"))
        self.assertEqual(sheet_content(self.result.session, "Blatt3"), sheet_content(self.session, "Blatt3"))
        corrected = copy.deepcopy(self.session)
        corrected["documents"][0]["sheets"][0]["views"][0]["symbols"][1]["texts"] = {"3": "Rz", "4": "6,3", "5": ""}
        self.assertEqual(sheet_content(self.result.session, "Blatt1"), sheet_content(corrected, "Blatt1"))

    def test_sorting_takes_in_every_sheet(self):
        result = run_sim(self.session, config=ini(main={"Scope": "1", "Sort": "1"}))
        self.assertEqual(row_values(result), ["Ra 0,8", "Ra 1,6", "Ra 3,2", "Ra 6,3", "Rz 6,3", "Ra 12,5"])

    def test_without_the_key_the_current_sheet_alone_and_no_getviews(self):
        for value in (None, "0", "2"):
            with self.subTest(Scope=value):
                config = ini(main={"Scope": value}) if value is not None else ini()
                result = run_sim(self.session, config=config)
                self.assertEqual(row_values(result), ["Ra 3,2", "Ra 1,6"])
                self.assertEqual(calls(result, "GetViews"), 0)
                self.assertEqual(result.messages(), [])
                for other in ("Blatt1", "Blatt3"):
                    self.assertEqual(sheet_content(result.session, other), sheet_content(self.session, other))

    def test_a_second_run_replaces_the_row_exactly(self):
        config = ini(main={"Scope": "1", "Form": "1"})
        second = run_sim(self.result.session, config=config)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertEqual(second.transcript["dialog"]["rough"]["text"], "3,2")
        self.assertEqual(own_names(second, 1), ["glmLNote", "glmRNote", "glmSymbol01", "glmSymbol99"])
        # The user's two symbols and the row: nothing left over, nothing under a name the host gave.
        self.assertEqual(len(second.sheet(1)["symbols"]) + len(second.sheet(1)["views"][0]["symbols"]), 4)
        self.assertEqual(len(second.sheet(1)["notes"]), 2)
        for other in ("Blatt1", "Blatt3"):
            self.assertEqual(sheet_content(second.session, other), sheet_content(self.result.session, other))
        self.assertEqual(second.messages(), [])

    def test_the_capacities_hold_for_the_whole_drawing(self):
        def crowded(on_other):
            session = drawing_session(symbols=[symbol("A%d" % i, 0.1, 0.2, {3: "Ra", 4: str(i)}) for i in range(150)])
            session["documents"][0]["sheets"].append(
                sheet("Blatt2", [symbol("B%d" % i, 0.1, 0.2, {3: "Rz", 4: str(i)}) for i in range(on_other)]))
            return session

        full = run_sim(crowded(50), ["--cancel"], config=ini(main={"Scope": "1"}))
        self.assertEqual(full.returncode, 0, full.stderr)
        session = crowded(51)
        over = run_sim(session, config=ini(main={"Scope": "1"}))
        self.assertEqual(over.returncode, 1)
        self.assertEqual(over.messages(), [{"window": "error", "caption": CAPTION, "text":
                                            "Zu viele Oberflächensymbole in der Zeichnung (höchstens 200 "
                                            "verschiedene und 201 Wiederholungen auf allen Blättern, 201 Symbole "
                                            "früherer Ausgaben auf diesem Blatt). Die Zeichnung wurde nicht "
                                            "geändert."}])
        self.assertIsNone(over.transcript["dialog"])
        self.assertEqual(everything(over.session), everything(session))


if __name__ == "__main__":
    unittest.main()
