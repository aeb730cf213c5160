"""Checks of the macro modules in vba/, which no VBA host here can compile:
the declarations of the library's exports in Meridan.bas against the shipped
32-bit MERIDAN.dll (names, the argument bytes each export removes from the
stack) and against meridan_api.h (the kind and type of every argument, the
result); the helper methods its 64-bit part calls against the helper's type
library; that its 32-bit and 64-bit parts define the same routines, so that
one macro text compiles in both kinds of host; the names and positions it
gives the figures against the layout the README documents; and what a real
spreadsheet host does with the modules (HostBehaviour): formula texts, cells
read as .Value2, the table's orientation, names, error handlers, the helper's
start and reconnect, what the function wizard and the macro list offer.
tests/vba/ runs the routines that need no host in a real Basic engine.

usage: check_vba_module.py BIN_DIR OBJDUMP"""
import os
import re
import sys
import unittest

import check_helper
import check_meridan
from pe_file import PeFile

BIN = sys.argv[1]
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
VBA = os.path.join(SOURCE, "vba")
MODULE = os.path.join(VBA, "Meridan.bas")
FUNCTIONS = os.path.join(VBA, "MeridanFunctions.bas")
DEMO = os.path.join(VBA, "MeridanDemos.bas")
API_HEADER = os.path.join(SOURCE, "source", "meridan", "meridan_api.h")
README = os.path.join(SOURCE, "README.md")

# Stack bytes of one stdcall argument on i686, by how VBA passes it.
BYVAL_BYTES = {"Integer": 4, "Long": 4, "LongPtr": 4, "String": 4, "Double": 8}
BYREF_BYTES = 4

# meridan_api.h type -> (how VBA passes it, VBA type). 16-bit arguments travel
# as uint32_t slots there, 32-bit ones as int32_t.
C_TO_VBA = {
    "uint32_t": ("ByVal", "Integer"), "int32_t": ("ByVal", "Long"), "HWND": ("ByVal", "LongPtr"),
    "double": ("ByVal", "Double"), "const char*": ("ByVal", "String"), "char*": ("ByVal", "String"),
    "int16_t*": ("ByRef", "Integer"), "const int16_t*": ("ByRef", "Integer"),
    "double*": ("ByRef", "Double"), "const double*": ("ByRef", "Double"),
}
C_RESULT_TO_VBA = {"int32_t": "Long", "void": None}


def logical_lines(text):
    """The module's lines with continuations joined and comments removed,
    each tagged with the conditional part it is in: "64", "32" or "both"."""
    text = re.sub(r" _\r?\n", " ", text)
    part, tagged = "both", []
    for raw in text.splitlines():
        line = strip_comment(raw).strip()
        if re.match(r"#If Win64 Then$", line):
            part = "64"
        elif line == "#Else":
            part = "32"
        elif line == "#End If":
            part = "both"
        elif line.startswith("#"):
            raise AssertionError("unexpected directive: " + line)
        elif line:
            tagged.append((part, re.sub(r"\s+", " ", line)))
    return tagged


def strip_comment(line):
    in_string = False
    for position, char in enumerate(line):
        if char == '"':
            in_string = not in_string
        elif char == "'" and not in_string:
            return line[:position]
    return line


def split_arguments(text):
    """Top-level comma-separated parts of an argument or parameter list."""
    parts, depth, current, in_string = [], 0, "", False
    for char in text:
        if char == '"':
            in_string = not in_string
        if not in_string and char in "(":
            depth += 1
        if not in_string and char in ")":
            depth -= 1
        if char == "," and depth == 0 and not in_string:
            parts.append(current.strip())
            current = ""
        else:
            current += char
    if current.strip():
        parts.append(current.strip())
    return parts


PARAMETER = re.compile(r"^(?P<optional>Optional )?(?P<paramarray>ParamArray )?(?P<passing>ByVal |ByRef )?"
                       r"(?P<name>\w+)(?P<array>\(\))?"
                       r" As (?P<type>\w+)(?: = (?P<default>.+))?$")


def parameters(text):
    result = []
    for part in split_arguments(text):
        match = PARAMETER.match(part)
        if not match:
            raise AssertionError("parameter not understood: " + part)
        result.append(match.groupdict())
    return result


DECLARE = re.compile(r'^(?P<scope>Public |Private )?Declare (?P<ptrsafe>PtrSafe )?(?P<kind>Function|Sub) '
                     r'(?P<name>\w+) Lib "(?P<lib>[^"]+)"(?: Alias "(?P<alias>[^"]+)")? \((?P<params>.*)\)'
                     r'(?: As (?P<result>\w+))?$')
ROUTINE = re.compile(r"^(?P<scope>Public |Private )?(?P<kind>Function|Sub) (?P<name>\w+)\((?P<params>.*?)\)"
                     r"(?: As (?P<result>\w+(?:\(\))?))?$")


def read_module(path=MODULE):
    with open(path, newline="") as module:
        return module.read()


def declares(lines):
    return [(part, DECLARE.match(line)) for part, line in lines if " Declare " in " " + line]


def routines(lines):
    """{part: {name: (scope, kind, parameters, result)}} of Sub and Function definitions."""
    found = {"both": {}, "32": {}, "64": {}}
    for part, line in lines:
        match = ROUTINE.match(line)
        if not match:
            continue
        name = match.group("name")
        if name in found[part]:
            raise AssertionError("defined twice: " + name)
        found[part][name] = ((match.group("scope") or "Public ").strip(), match.group("kind"),
                             parameters(match.group("params")), match.group("result"))
    return found


def api_functions():
    """{export: (result, [C type of each argument])} from meridan_api.h"""
    with open(API_HEADER) as header:
        text = re.sub(r"//[^\n]*", "", header.read())
    found = {}
    for result, name, params in re.findall(r"(int32_t|void) WINAPI (\w+)\(([^)]*)\);", text):
        types = []
        for param in split_arguments(params.replace("\n", " ")):
            if param == "void":
                continue
            match = re.match(r"^(.*?)\s*(\w+)$", " ".join(param.split()))
            types.append(match.group(1).replace(" *", "*"))
        found[name] = (result, types)
    return found


def helper_calls(lines):
    """[(method, argument count, result used)] of every call of the helper object"""
    calls = []
    for part, line in lines:
        for match in re.finditer(r"(=\s*)?\bmeridanHelper\.(\w+)", line):
            rest = line[match.end():]
            if rest.startswith("("):
                depth, end = 0, 0
                for end, char in enumerate(rest):
                    depth += char == "("
                    depth -= char == ")"
                    if depth == 0:
                        break
                arguments = split_arguments(rest[1:end])
            else:
                arguments = split_arguments(rest)
            calls.append((part, match.group(2), len(arguments), bool(match.group(1))))
    return calls


def library_exports():
    """{name: (ordinal, rva)} of the 32-bit MERIDAN.dll"""
    _, exports, _ = PeFile(os.path.join(BIN, "MERIDAN.dll")).exports()
    return exports


class Declarations(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.lines = logical_lines(read_module())
        cls.declares = declares(cls.lines)
        cls.library = [(part, m) for part, m in cls.declares if m and m.group("lib") == "MERIDAN.dll"]

    def test_every_declare_is_understood_and_pointer_safe(self):
        for part, match in self.declares:
            self.assertIsNotNone(match, "a Declare this check cannot read")
            self.assertTrue(match.group("ptrsafe"), match.group("name") + " lacks PtrSafe")
            self.assertIn(match.group("lib"), ("MERIDAN.dll", "kernel32"), match.group("name"))

    def test_library_is_declared_only_for_32_bit_hosts(self):
        self.assertEqual({part for part, _ in self.library}, {"32"})

    def test_every_export_declared_exactly_once_and_none_extra(self):
        named = [m.group("alias") or m.group("name") for _, m in self.library]
        self.assertEqual(sorted(named), sorted(set(named)), "declared twice")
        exports = library_exports()
        self.assertEqual(sorted(named), sorted(exports))
        # The library's list itself: its exports carry ordinals 1 .. n, none unnamed.
        _, _, unnamed = PeFile(os.path.join(BIN, "MERIDAN.dll")).exports()
        self.assertEqual(unnamed, set())
        self.assertEqual(sorted(ordinal for ordinal, _ in exports.values()), list(range(1, len(exports) + 1)))

    def test_argument_bytes_match_what_each_export_removes(self):
        pe = PeFile(os.path.join(BIN, "MERIDAN.dll"))
        _, exports, _ = pe.exports()
        addresses = {n: pe.image_base + rva for n, (_, rva) in exports.items()}
        removed = check_meridan.stack_bytes_removed(os.path.join(BIN, "MERIDAN.dll"), addresses)
        for _, match in self.library:
            export = match.group("alias") or match.group("name")
            with self.subTest(export=export):
                size = 0
                for p in parameters(match.group("params")):
                    self.assertIsNotNone(p["passing"], p["name"] + ": say ByVal or ByRef in a Declare")
                    self.assertFalse(p["array"] or p["optional"], p["name"])
                    if p["passing"].strip() == "ByRef":
                        size += BYREF_BYTES
                    else:
                        self.assertIn(p["type"], BYVAL_BYTES, p["name"])
                        size += BYVAL_BYTES[p["type"]]
                self.assertEqual(removed[export], {size}, "the export ends in ret %s" % removed[export])

    def test_kinds_types_and_results_follow_the_api_header(self):
        api = api_functions()
        self.assertEqual(sorted(api), sorted(library_exports()), "meridan_api.h declares the library's exports")
        for _, match in self.library:
            export = match.group("alias") or match.group("name")
            with self.subTest(export=export):
                result, c_types = api[export]
                declared = [(p["passing"].strip(), p["type"]) for p in parameters(match.group("params"))]
                self.assertEqual(declared, [C_TO_VBA[t] for t in c_types])
                expected = C_RESULT_TO_VBA[result]
                self.assertEqual(match.group("kind"), "Sub" if expected is None else "Function")
                self.assertEqual(match.group("result"), expected)


class BothKindsOfHost(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.lines = logical_lines(read_module())
        cls.routines = routines(cls.lines)

    def test_both_parts_define_the_same_routines_with_the_same_parameters(self):
        # The Lib_ routines are what shared code calls; a part may keep other
        # private routines of its own (the 64-bit part's reconnect).
        bits32 = {n: r for n, r in self.routines["32"].items() if n.startswith("Lib_")}
        bits64 = {n: r for n, r in self.routines["64"].items() if n.startswith("Lib_")}
        self.assertTrue(bits32)
        self.assertEqual(sorted(bits32), sorted(bits64))
        for name in bits32:
            with self.subTest(routine=name):
                self.assertEqual(bits32[name], bits64[name])
        for part in ("32", "64"):
            own = {n for n, (scope, *_rest) in self.routines[part].items() if not n.startswith("Lib_")}
            shared = " ".join(line for p, line in self.lines if p == "both")
            self.assertEqual({n for n in own if re.search(r"\b%s\b" % n, shared)}, set(),
                             "shared code calls a routine of the %s-bit part only" % part)

    def test_shared_code_calls_only_routines_both_parts_define(self):
        shared = " ".join(line for part, line in self.lines if part == "both")
        used = set(re.findall(r"\bLib_\w+", shared))
        self.assertTrue(used)
        self.assertEqual(used - set(self.routines["32"]), set())
        self.assertEqual(set(self.routines["both"]) & set(self.routines["32"]), set(), "defined in a part and outside")

    def test_public_routines_are_outside_the_conditional_parts(self):
        for part in ("32", "64"):
            public = [n for n, (scope, *_rest) in self.routines[part].items() if scope == "Public"]
            self.assertEqual(public, [], "public in one kind of host only")

    def test_parameters_say_how_they_pass_and_optional_ones_have_defaults(self):
        for part, defined in self.routines.items():
            for name, (_, _, params, _) in defined.items():
                for p in params:
                    where = "%s(%s)" % (name, p["name"])
                    if p["paramarray"]:
                        continue  # always by reference, of Variants
                    self.assertIsNotNone(p["passing"], where + ": ByVal or ByRef")
                    if p["array"]:
                        self.assertEqual(p["passing"], "ByRef ", where + ": arrays pass ByRef")
                    if p["optional"] and p["type"] != "Variant":
                        self.assertIsNotNone(p["default"], where + ": an Optional non-Variant needs a default")
                    if p["type"] == "Variant" and p["default"] is not None:
                        self.fail(where + ": a Variant left out is told by IsMissing, not a default")

    def test_module_level_names_differ_in_more_than_letter_case(self):
        # VBA ignores letter case: Meridan_Value beside MERIDAN_Value would not compile.
        for part in ("32", "64"):
            names = list(self.routines["both"]) + list(self.routines[part])
            names += [m.group("name") for p, m in declares(self.lines) if p == part]
            names += [re.match(r"^(?:Public |Private )?(?:Const|Type) (\w+)", line).group(1)
                      for p, line in self.lines
                      if p in ("both", part) and re.match(r"^(?:Public |Private )?(?:Const|Type) \w+", line)]
            folded = [n.lower() for n in names]
            self.assertEqual(sorted(set(n for n in folded if folded.count(n) > 1)), [], part + "-bit hosts")

    def test_worksheet_function_and_wrappers_are_public(self):
        shared = self.routines["both"]
        for name in ("Meridan_Open", "Meridan_Close", "Meridan_SPCPage", "Meridan_SPCFigures",
                     "Meridan_ReadoutOpen", "Meridan_ReadoutShow", "Meridan_DeviceName", "Meridan_HostCount",
                     "Meridan_SPCPageEx", "Meridan_SPCFiguresEx", "Meridan_SPCCell", "Meridan_SPCRunsCell",
                     "Meridan_Formula", "Meridan_FormulaNumber", "Meridan_CallerAcross", "Meridan_Pause",
                     "Meridan_GaugeStudyFigures", "Meridan_GaugeStudyPage", "Meridan_GaugeFigureName",
                     "Meridan_GaugeCell", "Meridan_ChartFigures", "Meridan_ChartPage", "Meridan_ChartFigureName",
                     "Meridan_ChartKind", "Meridan_ChartCell", "Meridan_CapabilityFigures", "Meridan_CapabilityPage",
                     "Meridan_CapabilityFigureName", "Meridan_CapabilityCell", "Meridan_PageFailure",
                     "Meridan_GaugeStudyRecord", "Meridan_PartOrder", "Meridan_GaugeStepText"):
            self.assertEqual(shared[name][0], "Public", name)
        functions = routines(logical_lines(read_module(FUNCTIONS)))["both"]
        for name in ("MERIDAN_SPC", "MERIDAN_SPCRUNS", "MERIDAN_GAUGE", "MERIDAN_CHART", "MERIDAN_CAPABILITY"):
            self.assertEqual(functions[name][0], "Public", name)

    def test_helper_methods_called_exist_with_that_argument_count(self):
        library = check_helper.TypeLibrary(PeFile(os.path.join(BIN, "MERIDAN_HELPER.exe")).resources()[("TYPELIB", 1)])
        methods = {}
        for name, _, _, _, _, _, params in library.members("_DLLFcts"):
            inputs = [p for p in params if not p[2] & check_helper.RETVAL]
            methods[name] = (len(inputs), len(inputs) != len(params))
        calls = helper_calls(self.lines)
        self.assertEqual({part for part, *_ in calls}, {"64"}, "the helper is used by 64-bit hosts only")
        called = set()
        for _, method, count, result_used in calls:
            with self.subTest(method=method):
                self.assertIn(method, methods)
                self.assertEqual(count, methods[method][0])
                if result_used:
                    self.assertTrue(methods[method][1], "the method has no result")
                called.add(method)
        self.assertEqual(set(methods) - called, {"CloseProg"}, "every library function is reached")


def documented_names(table_heading):
    """{element: name} of the README table whose header row starts with table_heading;
    a row "a – b" named "`x1` … `xN`" stands for the names x1 .. xN."""
    with open(README, encoding="utf-8") as readme:
        lines = readme.read().splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith(table_heading))
    names = {}
    for line in lines[start + 2:]:
        if not line.startswith("|"):
            break
        cells = [cell.strip() for cell in line.strip("|").split("|")]
        single = re.fullmatch(r"(\d+)", cells[0])
        span = re.fullmatch(r"(\d+) – (\d+)", cells[0])
        if single and re.fullmatch(r"`\w+`", cells[-1]):
            names[int(single.group(1))] = cells[-1].strip("`")
        elif span:
            series = re.fullmatch(r"`([A-Za-z]+)(\d+)` … `\1(\d+)`", cells[-1])
            if not series:
                continue  # "as there": documented in another table
            first, last = int(span.group(1)), int(span.group(2))
            numbers = range(int(series.group(2)), int(series.group(3)) + 1)
            assert len(numbers) == last - first + 1, line
            for element, number in zip(range(first, last + 1), numbers):
                names[element] = series.group(1) + str(number)
    return names


class FigureNames(unittest.TestCase):
    """The names the module gives the figures (table rows, MERIDAN_SPC and
    MERIDAN_SPCRUNS arguments) and the positions it reads them at, against
    the layout the README documents for both figure exports."""

    @classmethod
    def setUpClass(cls):
        lines = logical_lines(read_module())
        listed = next(line for _, line in lines if line.startswith("FigureNames = Array("))
        cls.names = re.findall(r'"(\w+)"', listed)
        cls.constants = {}
        for _, line in lines:
            match = re.match(r"^(?:Public |Private )?Const (\w+) As Long = (-?\d+)$", line)
            if match:
                cls.constants[match.group(1)] = int(match.group(2))

    def test_names_follow_both_documented_tables(self):
        documented = documented_names("| Element | Figure | Name (`Meridan_FigureName`")
        documented.update(documented_names("| Element | Figure | Name (`Meridan_SPCFiguresEx`"))
        self.assertEqual(sorted(documented), list(range(1, len(documented) + 1)))
        self.assertEqual({element: name for element, name in enumerate(self.names, 1)}, documented)

    def test_positions_read_are_those_of_the_names(self):
        position = {name: element for element, name in enumerate(self.names, 1)}
        self.assertEqual(self.constants["FIGURE_COUNT"], position["class15"])
        self.assertEqual(self.constants["EXTENDED_FIGURE_COUNT"], len(self.names))
        self.assertEqual(self.constants["FIRST_RUN_COUNT"], position["test1"])
        self.assertEqual(self.constants["FIRST_RUN_COUNT"] + self.constants["RUN_TESTS"] - 1, position["test8"])
        self.assertEqual(self.constants["DISPERSION_COUNT"], position["dispersion"])


def listed_names(function_name):
    """The names a module function lists as Array("a", "b", ...)."""
    lines = logical_lines(read_module())
    listed = [line for _, line in lines if line.startswith(function_name + " = Array(")]
    assert len(listed) == 1, function_name
    return re.findall(r'"([^"]+)"', listed[0])


def documented_name_list(marker):
    """The names of the README line that starts with marker, in element order: `a`, `b`, ... up to
    the first ";" or "(" (what follows is said about them)."""
    with open(README, encoding="utf-8") as readme:
        line = next(line for line in readme.read().splitlines() if line.startswith(marker))
    return re.findall(r"`([^`]+)`", re.split(r"[;(]", line[len(marker):])[0])


def documented_capability_names():
    """{element: name} of the capability study's table (two element, figure, name columns side by side)."""
    with open(README, encoding="utf-8") as readme:
        lines = readme.read().splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("| Element | Figure | Name | Element |"))
    names = {}
    for line in lines[start + 2:]:
        if not line.startswith("|"):
            break
        cells = [cell.strip() for cell in line.strip("|").split("|")]
        for elements, name in ((cells[0], cells[2]), (cells[3], cells[5])):
            numbers = [int(n) for n in re.findall(r"\d+", elements)]
            listed = re.findall(r"`(\w+)`", name)
            assert len(numbers) == len(listed), line
            names.update(zip(numbers, listed))
    return names


class StudyFigureNames(unittest.TestCase):
    """The names the module gives the figures of the gauge studies, the
    further control charts and the capability study, against the README, and
    the counts it reads against the layouts there."""

    @classmethod
    def setUpClass(cls):
        cls.constants = {name: int(value) for name, value in constants_of(MODULE).items()
                         if re.fullmatch(r"-?\d+", value)}

    def test_gauge_names_follow_the_readme(self):
        type1 = listed_names("GaugeNames")
        studies = listed_names("fixed")
        self.assertEqual(type1, documented_name_list("Names of the type 1 figures (macro module): "))
        self.assertEqual(studies, documented_name_list("Names of the figures of kinds 2 and 3 (macro module): "))
        self.assertEqual(len(type1), self.constants["GAUGE_TYPE1_COUNT"])
        self.assertEqual(len(studies), self.constants["GAUGE_STUDY_COUNT"])
        self.assertEqual(studies[:5], ["kind", "parts", "appraisers", "trials", "readings"])
        self.assertEqual(studies[56], "ndc", "element 57")
        self.assertEqual(studies[45], "%GRR", "element 46, %study variation of GRR")
        self.assertEqual((type1[14], type1[15]), ("Cg", "Cgk"), "elements 15 and 16")

    def test_chart_names_follow_the_readme(self):
        names = listed_names("ChartFigureNames")
        self.assertEqual(names, documented_name_list("Names of the chart figures (macro module): "))
        self.assertEqual(len(names), self.constants["CHART_FIGURE_COUNT"])
        self.assertEqual(names[17:25], ["test%d" % t for t in range(1, 9)], "elements 18 - 25")
        self.assertEqual(listed_names("ChartKindNames"), ["imr", "ewma", "cusum", "p", "np", "c", "u"])

    def test_capability_names_follow_the_readme_table(self):
        names = listed_names("CapabilityFigureNames")
        documented = documented_capability_names()
        self.assertEqual(sorted(documented), list(range(1, 56)))
        self.assertEqual({element: name for element, name in enumerate(names, 1)}, documented)
        self.assertEqual(len(names), self.constants["CAPABILITY_FIGURE_COUNT"])

    def test_names_are_told_apart_whatever_the_letter_case(self):
        for listing in ("GaugeNames", "fixed", "ChartFigureNames", "CapabilityFigureNames"):
            folded = [name.lower() for name in listed_names(listing)] + ["all", "points"]
            self.assertEqual(len(folded), len(set(folded)), listing)

    def test_page_failures_name_every_code_of_the_page_exports(self):
        with open(API_HEADER) as header:
            api = header.read()
        gauge = len(re.findall(r"kGaugePage\w+ = [1-9]", api))
        chart = len(re.findall(r"MERIDAN_CHART_\w+ = [1-9]", api))
        capability_page = api[:api.index("int32_t WINAPI Create_CapabilityBitmap")]
        capability_page = capability_page[capability_page.rindex("\n\n"):]
        capability = len(re.findall(r"\b\d (?:a request|a page size|fewer than|no file name)", capability_page))
        body = " ".join(procedures_of(MODULE)[("both", "Meridan_PageFailure")][1])
        cases = re.findall(r'Case (?:"(\w+)"|Else) reasons = Array\(((?:"[^"]*",? ?)+)\)', body)
        counts = [len(re.findall(r'"[^"]*"', reasons)) for _, reasons in cases]
        self.assertEqual(counts, [gauge, chart, capability])
        self.assertEqual((gauge, chart, capability), (5, 4, 4))

    def test_study_pages_raise_on_a_nonzero_code(self):
        procedures = procedures_of(MODULE)
        for name, export in (("Meridan_GaugeStudyPage", "Lib_GaugeStudyBitmap"), ("Meridan_ChartPage", "Lib_ChartBitmap"),
                             ("Meridan_CapabilityPage", "Lib_CapabilityBitmap")):
            body = procedures[("both", name)][1]
            call = next(i for i, line in enumerate(body) if line.startswith("code = %s(" % export))
            self.assertRegex(body[call + 1], r'^RequireStudyPage "\w+", code, path$', name)
        require = " ".join(procedures[("both", "RequireStudyPage")][1])
        self.assertIn("If code <> 0 Then Err.Raise MERIDAN_ERR_REJECTED", require)


class GaugeStudyRecording(unittest.TestCase):
    """How Meridan_GaugeStudyRecord meets the host: Esc stops it through the
    error handler and the host's own handling comes back, the readings come
    from the kit's collect call (the gauge's data button drives it), a cell
    already filled is kept, and the cell is written as a plain number."""

    @classmethod
    def setUpClass(cls):
        cls.procedures = procedures_of(MODULE)

    def body(self, name):
        return self.procedures[("both", name)][1]

    def test_esc_stops_and_the_host_gets_its_own_handling_back(self):
        body = self.body("Meridan_GaugeStudyRecord")
        cancel = body.index("host.EnableCancelKey = XL_ERROR_HANDLER")
        handler = body.index("On Error GoTo Interrupted")
        loop = next(i for i, line in enumerate(body) if line.startswith("For "))
        self.assertLess(cancel, loop)
        self.assertLess(handler, loop)
        finish = body[body.index("Finish:") + 1:body.index("Interrupted:")]
        self.assertIn("host.EnableCancelKey = XL_INTERRUPT", finish)
        self.assertIn("host.StatusBar = False", finish)
        constants = constants_of(MODULE)
        self.assertEqual((constants["XL_ERROR_HANDLER"], constants["XL_INTERRUPT"], constants["ERR_USER_INTERRUPT"]),
                         ("2", "1", "18"), "the host's xlErrorHandler, xlInterrupt and the error Esc raises")
        self.assertIn("If Err.Number <> ERR_USER_INTERRUPT Then", body, "other errors are raised again")

    def test_readings_come_from_the_collect_call_into_empty_cells_only(self):
        record = self.body("Meridan_GaugeStudyRecord")
        self.assertIn("If IsEmpty(RangeValue2(cell)) Then", record, "a filled cell is kept (resume)")
        self.assertIn("status = Lib_Collect(device, readAddress, reading)", self.body("NextGaugeReading"))
        reading = self.body("RecordReading")
        self.assertIn("into.Value2 = reading", reading)
        self.assertIn("Sleep RECORD_PAUSE", reading, "the wait rests between its questions to the kit")
        self.assertIn("DoEvents", reading, "Esc and the user's edits are seen while waiting")


def procedures_of(path):
    """{(part, name): (header, [body lines])} of a module's Subs and Functions,
    continuations joined and comments removed."""
    found, current = {}, None
    for part, line in logical_lines(read_module(path)):
        match = ROUTINE.match(line)
        if current is None and match:
            current = (part, match.group("name"))
            found[current] = (line, [])
        elif re.match(r"^End (?:Sub|Function)$", line):
            current = None
        elif current is not None:
            found[current][1].append(line)
    return found


def module_name(path):
    return re.match(r'Attribute VB_Name = "(\w+)"', read_module(path)).group(1)


def constants_of(path):
    values = {}
    for _, line in logical_lines(read_module(path)):
        match = re.match(r"^(?:Public |Private )?Const (\w+) As \w+ = (.+)$", line)
        if match:
            values[match.group(1)] = match.group(2)
    return values


FORMULA_PROPERTY = re.compile(r"\.(?:Formula|FormulaArray|Formula2|FormulaR1C1|FormulaLocal)\s*=\s*(.+)$")


class HostBehaviour(unittest.TestCase):
    """What a real spreadsheet host does with the modules, read from their text."""

    @classmethod
    def setUpClass(cls):
        cls.modules = {path: procedures_of(path) for path in (MODULE, FUNCTIONS, DEMO)}
        cls.meridan = cls.modules[MODULE]
        cls.demo = cls.modules[DEMO]
        cls.functions = cls.modules[FUNCTIONS]

    def body(self, name, part="both", module=None):
        return self.modules[module or MODULE][(part, name)][1]

    def test_formula_text_is_built_with_a_point_whatever_the_locale(self):
        # "&" with a number writes the locale's decimal separator; Range.Formula
        # takes the English syntax. Formula text comes from Meridan_Formula.
        assignments = 0
        for path, procedures in self.modules.items():
            for (part, name), (_, body) in procedures.items():
                for line in body:
                    match = FORMULA_PROPERTY.search(line)
                    if not match:
                        continue
                    assignments += 1
                    where = "%s %s: %s" % (os.path.basename(path), name, line)
                    text = match.group(1)
                    self.assertNotIn("&", text, where)
                    builder = re.match(r"^(\w+)\(", text)
                    self.assertIsNotNone(builder, where)
                    if builder.group(1) != "Meridan_Formula":
                        built = procedures[(part, builder.group(1))][1]
                        self.assertEqual(len(built), 1, where)
                        self.assertRegex(built[0], r"^%s = Meridan_Formula\([^&]*\)$" % builder.group(1), where)
        self.assertGreater(assignments, 0, "the demo puts formulas into its sheet")
        number = " ".join(self.body("Meridan_FormulaNumber"))
        self.assertIn("Str$(number)", number, "Str$ writes a point on every system")

    def test_a_failed_reading_leaves_its_value_cell_empty(self):
        constants = constants_of(DEMO)
        body = self.body("MeridanDemo", module=DEMO)
        status_writes = [line for line in body if re.search(r'\.Value = "status', line)]
        self.assertTrue(status_writes, "the demo writes the status of a failed reading")
        for line in status_writes:
            self.assertRegex(line, r"Cells\([^,]+, STATUS_COLUMN\)", "the status goes beside the value: " + line)
        self.assertNotEqual(constants.get("STATUS_COLUMN"), constants.get("VALUE_COLUMN"))
        self.assertTrue([line for line in body if re.search(r"^Set values = .*Cells\(2, VALUE_COLUMN\)", line)],
                        "the values are the value column")

    def test_table_orientation_follows_the_entered_range(self):
        for name in ("MERIDAN_SPC", "MERIDAN_SPCRUNS", "MERIDAN_GAUGE", "MERIDAN_CHART", "MERIDAN_CAPABILITY"):
            self.assertRegex(" ".join(self.body(name, module=FUNCTIONS)), r", Meridan_CallerAcross\(\)\)$", name)
        self.assertIn("Meridan_CallerAcross = Meridan_TableAcross(caller.Rows.Count, caller.Columns.Count)",
                      self.body("Meridan_CallerAcross"))
        self.assertEqual(self.body("Meridan_TableAcross"), ["Meridan_TableAcross = columns > rows"],
                         "across exactly when wider than tall; one cell (a spill) downwards")
        for path, procedures in self.modules.items():
            for (_, name), (_, body) in procedures.items():
                for line in body:
                    self.assertNotRegex(line, r"Rows\.Count = 1", "%s: the shape decides, not one row" % name)

    def test_a_unit_left_out_is_no_text(self):
        for (_, name), (_, body) in self.meridan.items():
            for line in body:
                if re.match(r"^\S*\.Unit = ", line):
                    self.assertNotIn("ItemOrZero", line, name + ": the stand-in 0 would show as the unit 0")

    def test_module_names_differ_from_every_procedure_and_file(self):
        names = {module_name(path).lower(): path for path in (MODULE, FUNCTIONS, DEMO)}
        for path, procedures in self.modules.items():
            for (_, name) in procedures:
                self.assertNotIn(name.lower(), names, "%s in %s has a module's name" % (name, path))
        for path in (MODULE, FUNCTIONS, DEMO):
            self.assertEqual(module_name(path), os.path.splitext(os.path.basename(path))[0], path)

    def test_error_handlers_are_left_before_their_clean_up(self):
        # On Error inside an active handler does not take effect: a handler
        # resumes (Resume label) before anything that needs one.
        handlers = 0
        for path, procedures in self.modules.items():
            for (part, name), (_, body) in procedures.items():
                for line in body:
                    match = re.match(r"^On Error GoTo (\w+)$", line)
                    if not match or match.group(1) == "0":
                        continue
                    handlers += 1
                    start = body.index(match.group(1) + ":")
                    for statement in body[start + 1:]:
                        if statement.startswith("Resume") or statement.startswith("Exit ") or \
                           statement.startswith("Err.Raise"):
                            break
                        self.assertFalse(statement.startswith("On Error"), "%s: %s in the handler" % (name, statement))
                        self.assertIsNone(re.match(r"^Meridan_\w+ (?!=)", statement),
                                          "%s: %s may fail in the handler" % (name, statement))
        self.assertGreater(handlers, 0)

    def test_the_helper_is_asked_again_only_when_ending_or_starting(self):
        creating = [(part, name) for (part, name), (_, body) in self.meridan.items()
                    if any("CreateObject(" in line for line in body)]
        self.assertEqual(creating, [("64", "CreateHelper")])
        body = self.body("CreateHelper", "64")
        check = next(i for i, line in enumerate(body) if "HelperIsChanging(" in line)
        waits = [i for i, line in enumerate(body) if re.search(r"\bSleep\b", line)]
        self.assertTrue(waits)
        self.assertTrue(all(i > check for i in waits), "a wait only after the error was found to be a helper ending")
        self.assertTrue(re.search(r"Exit Function", body[check]), "other errors end the attempts")
        constants = constants_of(MODULE)
        changing = re.findall(r"\b[A-Z][A-Z_]+\b", " ".join(self.body("HelperIsChanging")))
        self.assertNotIn("429", [constants.get(c) for c in changing], "class not registered is no helper ending")
        connect = " ".join(self.body("Lib_Connect", "64"))
        self.assertIn("SecondsBetween(connectFailedAt, Timer) >= CONNECT_FAILURE_SECONDS", connect,
                      "a failed start is remembered for a few seconds")

    def test_every_helper_call_reconnects_once(self):
        calls = 0
        for (part, name), (_, body) in self.meridan.items():
            if part != "64" or not any("meridanHelper." in line for line in body):
                continue
            if name in ("Lib_IsConnected", "Lib_Connect", "Lib_Disconnect"):
                continue
            calls += 1
            with self.subTest(routine=name):
                self.assertEqual(body[:2], ["Dim reconnected As Boolean", "On Error GoTo HelperFailed"])
                handler = body[body.index("HelperFailed:") + 1:]
                self.assertEqual(handler, ["ReconnectOnce reconnected", "Resume"])
        self.assertGreater(calls, 15)
        reconnect = self.body("ReconnectOnce", "64")
        self.assertIn("If reconnected Or Not HelperVanished(errorNumber) Then Err.Raise errorNumber, errorSource, "
                      "errorText", reconnect)

    def test_cells_are_read_as_value2(self):
        for path in (MODULE, FUNCTIONS):
            for part, line in logical_lines(read_module(path)):
                for match in re.finditer(r"(\w+)\.Value\b(?!2)", line):
                    self.assertEqual(match.group(1), "meridanHelper", "%s: %s" % (os.path.basename(path), line))
        self.assertEqual(self.body("RangeValue2"), ["RangeValue2 = cells.Value2"])

    def test_the_library_is_loaded_by_an_absolute_path(self):
        for (part, name), (_, body) in self.meridan.items():
            for index, line in enumerate(body):
                match = re.match(r"^Lib_Connect (.+)$", line)
                if match:
                    argument = match.group(1)
                    if not argument.startswith("FolderOf("):
                        assigned = [l for l in body[:index] if l.startswith(argument + " = ")]
                        self.assertTrue(assigned and all(" = FolderOf(" in l for l in assigned), name + ": " + line)
        self.assertIn("FolderOf = InstallFolder(folder, MERIDAN_FOLDER, WorkbookFolder(), CurDir$)",
                      self.body("FolderOf"))
        self.assertIn("folder = AbsolutePath(folder, current)", self.body("InstallFolder"))

    def test_hosts_are_counted_in_this_session_only(self):
        count = " ".join(self.body("Lib_HostCount", "64"))
        self.assertIn("ProcessIdToSessionId(GetCurrentProcessId(), session)", count)
        self.assertIn("ExecQuery(HostCountQuery(session))", count)

    def test_open_from_another_folder_is_refused_while_open(self):
        opening = self.body("Meridan_Open")
        compare = next(i for i, line in enumerate(opening) if "StrComp(folder, openFolder" in line)
        self.assertTrue(opening[compare + 1].startswith("Err.Raise MERIDAN_ERR_INPUT"))

    def test_a_page_path_is_checked_against_the_code_page(self):
        self.assertIn("RequireAnsiPath path", self.body("FreshPagePath"))
        self.assertIn("StrConv(StrConv(path, vbFromUnicode), vbUnicode) <> path",
                      " ".join(self.body("RequireAnsiPath")))

    def test_the_live_loop_rests_and_the_demo_does_not_run_twice(self):
        for (_, name), (_, body) in self.demo.items():
            if "DoEvents" in body:
                loop = body[next(i for i, l in enumerate(body) if l.startswith("Do ")):]
                self.assertIn("Meridan_Pause LIVE_PAUSE", loop[:loop.index("Loop")], name)
        demo = [line for line in self.body("MeridanDemo", module=DEMO) if not line.startswith("Dim ")]
        self.assertEqual(demo[:5], ["If demoRunning Then", demo[1], "Exit Sub", "End If", "demoRunning = True"])
        self.assertIn("demoRunning = False", demo[demo.index("CleanUp:"):])

    def test_wizard_offers_only_worksheet_functions_and_macro_list_only_the_demo(self):
        self.assertIn("Option Private Module", [line for _, line in logical_lines(read_module(MODULE))])
        for path in (FUNCTIONS, DEMO):
            self.assertNotIn("Option Private Module", [line for _, line in logical_lines(read_module(path))])
        for (_, name), (header, _) in self.functions.items():
            match = ROUTINE.match(header)
            self.assertEqual((match.group("scope"), match.group("kind")), ("Public ", "Function"), name)
            self.assertRegex(name, r"^MERIDAN_[A-Z]+$", "a worksheet function's name")
        offered = [(name, ROUTINE.match(header).group("kind"), ROUTINE.match(header).group("params"))
                   for (_, name), (header, _) in self.demo.items()
                   if (ROUTINE.match(header).group("scope") or "Public ") == "Public "]
        self.assertEqual(offered, [("MeridanDemo", "Sub", "")], "the demo module offers one macro")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
