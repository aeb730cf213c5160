"""Runs the routines of the macro modules that need neither the library, nor
the helper, nor a spreadsheet (formula texts, reading values, the table's
orientation, units, the helper's errors, folders and paths, input errors) in
a real Basic engine: LibreOffice Basic in VBA-compatibility mode, headless,
once with a decimal point (en-US) and once with a decimal comma (de-DE).
The routines are taken from vba/*.bas as they are (private ones made public
so that the checks can call them); the checks are in checks.bas.

Where LibreOffice and the spreadsheet host differ: LibreOffice has no ranges
outside a document (RangeStub.bas stands in for one); it takes no expression
in a Const, declares no array as a function result and cannot LSet one Type
onto another (see for_libreoffice and SUBSTITUTES); its On Error Resume Next
does not keep the error of a routine called, and entering a procedure clears
Err (checks.bas reads errors in a handler); it raises "Object variable not
set" for a property of a Variant in a branch not taken (the module reads a
range's properties in routines of their own, RangeValue2 and RangeAddress);
it reads "Not a Like b" as "(Not a) Like b" (the module writes the
parentheses); and it raises error 449 when an Optional argument left out is
handed on to another routine, which the host allows (the checks give every
argument). Option Private Module, Declare and the conditional parts are
left out: only the routines shared by both kinds of host are run.

Where LibreOffice is not installed the test says so and is reported as
skipped (exit code 77); where it is, it always runs.
Debian packages: libreoffice-core-nogui (Basic and the headless office).

usage: test_vba_routines.py [VBA_DIR]"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from basic_module import BasicModule  # noqa: E402

VBA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "vba")
SKIPPED = 77
LOCALES = ("en-US", "de-DE")
# A Basic error without a handler opens a dialog, which nobody closes headless.
TIMEOUT = 120

MODULE_XML = ('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD '
              'OfficeDocument 1.0//EN" "module.dtd">\n<script:module xmlns:script="http://openoffice.org/2000/script" '
              'script:name="%s" script:language="StarBasic">%s</script:module>\n')
LIBRARY_XML = ('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE library:library PUBLIC "-//OpenOffice.org//DTD '
               'OfficeDocument 1.0//EN" "library.dtd">\n<library:library xmlns:library="http://openoffice.org/2000/'
               'library" library:name="Standard" library:readonly="false" library:passwordprotected="false">\n'
               '%s</library:library>\n')
LOCALE_ITEM = ('<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooSetupSystemLocale" oor:op="fuse">'
               '<value>%s</value></prop></item>\n')


def read(path):
    with open(path, newline="") as f:
        return f.read().replace("\r\n", "\n")


# vbObjectError, and LibreOffice's Const, which takes a literal only: the
# modules' error numbers (vbObjectError + 1101 ...) are written as their sums.
VB_OBJECT_ERROR = -2147221504


# LibreOffice Basic declares no function result as an array ("As Double()"):
# such results are declared As Variant, which holds the same array.
def for_libreoffice(text):
    text = re.sub(r"\bvbObjectError \+ (\d+)", lambda m: str(VB_OBJECT_ERROR + int(m.group(1))), text)
    text = re.sub(r" _\n\s*", " ", text)  # each statement on one line
    return re.sub(r"^((?:Public |Private )?Function .*\)) As \w+\(\)$", r"\1 As Variant", text, flags=re.M)


# LibreOffice Basic cannot LSet one Type onto another, which the module uses
# to read a Double's bits: these two stand in for the bit-reading routines
# (the host runs the module's own; NaN itself cannot be made here either).
SUBSTITUTES = {
    "IsFiniteNumber": """
Private Function IsFiniteNumber(ByVal figure As Double) As Boolean
    IsFiniteNumber = Abs(figure) < 1E+308
End Function""",
    "NotANumber": """
Private Function NotANumber() As Double
    NotANumber = -1.5E+300
End Function""",
}


def modules_under_test(checks_text):
    """{LibreOffice module name: Basic text} of the routines checks_text calls,
    from the workbook's modules Meridan and MeridanDemos."""
    words = set(re.findall(r"\b\w+\b", re.sub(r"'.*", "", checks_text)))
    # The library's calls (Lib_ routines, which each kind of host defines for
    # itself) that checks.bas stands in for, recording what they are handed.
    provided = set(re.findall(r"^Public (?:Function|Sub) (Lib_\w+)\(", checks_text, re.M))
    demo = BasicModule(os.path.join(VBA, "MeridanDemos.bas"))
    routines = BasicModule(os.path.join(VBA, "Meridan.bas"))
    from_demo = demo.closure(words & set(demo.procedures))
    words |= set(re.findall(r"\b\w+\b", demo.text(from_demo)))  # the routines the demo's ones call
    modules = {}
    for module, wanted in ((routines, words & set(routines.procedures)), (demo, from_demo)):
        modules[module.name] = ("Option VBASupport 1\nOption Explicit\n"
                                + for_libreoffice(module.text(wanted, SUBSTITUTES, provided)))
    return modules


def run_checks(locale, work):
    """Result lines of checks.bas run in LibreOffice Basic with locale."""
    profile = os.path.join(work, "profile-" + locale)
    result = os.path.join(work, "result-" + locale + ".txt")
    office = ["soffice", "--headless", "--norestore", "--nologo", "--nodefault",
              "-env:UserInstallation=file://" + profile]
    subprocess.run(office + ["--terminate_after_init"], check=True, timeout=TIMEOUT, capture_output=True)
    checks = read(os.path.join(HERE, "checks.bas")).replace("@RESULT_FILE@", result).replace("@LOCALE@", locale)
    modules = modules_under_test(checks)
    modules["RangeStub"] = read(os.path.join(HERE, "RangeStub.bas"))
    modules["Checks"] = checks
    library = os.path.join(profile, "user", "basic", "Standard")
    for name in os.listdir(library):
        if name.endswith(".xba"):
            os.remove(os.path.join(library, name))
    for name, text in modules.items():
        with open(os.path.join(library, name + ".xba"), "w", encoding="utf-8") as f:
            f.write(MODULE_XML % (name, escape(text, {'"': "&quot;"})))
    with open(os.path.join(library, "script.xlb"), "w", encoding="utf-8") as f:
        f.write(LIBRARY_XML % "".join(' <library:element library:name="%s"/>\n' % n for n in modules))
    settings = os.path.join(profile, "user", "registrymodifications.xcu")
    with open(settings, encoding="utf-8") as f:
        text = f.read()
    with open(settings, "w", encoding="utf-8") as f:
        f.write(text.replace("</oor:items>", LOCALE_ITEM % locale + "</oor:items>"))
    try:
        subprocess.run(office + ["macro:///Standard.Checks.Main"], timeout=TIMEOUT, capture_output=True)
    except subprocess.TimeoutExpired:
        pass  # reported below: the result file has no END
    if not os.path.exists(result):
        return ["FAIL Basic: no result in %d s (a compile error? LibreOffice shows it in a dialog)" % TIMEOUT]
    with open(result, encoding="utf-8") as f:
        return f.read().splitlines()


class RoutinesInBasic(unittest.TestCase):
    results = {}

    @classmethod
    def setUpClass(cls):
        work = tempfile.mkdtemp(prefix="meridan-basic-")
        try:
            for locale in LOCALES:
                cls.results[locale] = run_checks(locale, work)
        finally:
            shutil.rmtree(work, ignore_errors=True)

    def check(self, name):
        for locale in LOCALES:
            with self.subTest(locale=locale):
                lines = self.results[locale]
                self.assertIn("END", lines, "the checks did not run to their end: %s" % lines)
                mine = [line for line in lines if line.split(":")[0].split(" ")[-1] == name]
                self.assertEqual(mine, ["PASS " + name], "in LibreOffice Basic, " + locale)


def add_tests():
    """One test per Check_ of checks.bas."""
    for name in re.findall(r"^Private Sub Check_(\w+)\(\)", read(os.path.join(HERE, "checks.bas")), re.M):
        test_name = "test_" + re.sub(r"(?<!^)(?=[A-Z])", "_", name).lower()
        setattr(RoutinesInBasic, test_name, lambda self, name=name: self.check(name))


add_tests()

if __name__ == "__main__":
    if shutil.which("soffice") is None:
        print("SKIPPED: LibreOffice is not installed here (Debian: libreoffice-core-nogui); "
              "the macro modules' routines were not run in a Basic engine")
        sys.exit(SKIPPED)
    unittest.main(argv=sys.argv[:1], verbosity=2)
