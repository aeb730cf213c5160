"""Checks of the macro module vba/Meridan.bas, which no VBA host here can
compile: its declarations of the library's exports against the shipped 32-bit
MERIDAN.dll (names, the argument bytes each export removes from the stack)
and against meridan_api.h (the kind and type of every argument, the result);
the helper methods its 64-bit part calls against the helper's type library;
and that its 32-bit and 64-bit parts define the same routines, so that one
macro text compiles in both kinds of host.

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
MODULE = os.path.join(SOURCE, "vba", "Meridan.bas")
API_HEADER = os.path.join(SOURCE, "source", "meridan", "meridan_api.h")

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


PARAMETER = re.compile(r"^(?P<optional>Optional )?(?P<passing>ByVal |ByRef )?(?P<name>\w+)(?P<array>\(\))?"
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


def read_module():
    with open(MODULE, newline="") as module:
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
        _, exports, _ = PeFile(os.path.join(BIN, "MERIDAN.dll")).exports()
        self.assertEqual(sorted(named), sorted(exports))
        self.assertEqual(len(named), 17)

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
        self.assertEqual(len(api), 17)
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
        bits32, bits64 = self.routines["32"], self.routines["64"]
        self.assertTrue(bits32)
        self.assertEqual(sorted(bits32), sorted(bits64))
        for name in bits32:
            with self.subTest(routine=name):
                self.assertEqual(bits32[name], bits64[name])

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
        for name in ("MERIDAN_SPC", "Meridan_Open", "Meridan_Close", "Meridan_SPCPage", "Meridan_SPCFigures",
                     "Meridan_ReadoutOpen", "Meridan_ReadoutShow", "Meridan_DeviceName", "Meridan_HostCount"):
            self.assertEqual(shared[name][0], "Public", name)

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


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
