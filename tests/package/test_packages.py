"""The release packages as a newcomer meets them: each zip holds exactly the
listed files, its binaries are of its architecture, carry the release version
and no debug information; unpacked into a fresh 64-bit Wine prefix (with its
32-bit side), with the stand-in kit put beside the library as the README
says, install.cmd registers the helper, an example script run by the 64-bit
script host from another folder writes its page, and uninstall.cmd leaves no
registration behind; a helper that cannot start is told from a registration
refused for lack of rights. The 32-bit package runs by the route the tests
take (natively or through QEMU, see cmake/wine32-support); where 32-bit
programs cannot run at all, those cases are reported as skipped.

usage: test_packages.py REPOSITORY OUT_DIR VERSION"""
import os
import shutil
import struct
import subprocess
import sys
import unittest
import zipfile

ROOT, OUT, VERSION = sys.argv[1], sys.argv[2], sys.argv[3]
sys.path.insert(0, os.path.join(ROOT, "tests", "abi"))
from pe_file import PeFile  # noqa: E402

FILES = ["MERIDAN.dll", "MERIDAN_HELPER.exe", "TESSAN_SPC.TAB", "standin-kit/tessan_ddk.dll", "vba/Meridan.bas",
         "vba/MeridanFunctions.bas", "vba/MeridanDemos.bas", "examples/read_values.vbs", "examples/spc_figures.vbs", "examples/spc_page.vbs",
         "examples/gauge_study.vbs", "examples/chart_figures.vbs", "examples/capability_figures.vbs",
         "install.cmd", "uninstall.cmd", "README.md", "docs/spc_page.png", "docs/readout.png", "CHANGELOG.md",
         "LICENSE"]
BINARIES = ["MERIDAN.dll", "MERIDAN_HELPER.exe", "standin-kit/tessan_ddk.dll"]
MACHINES = {"win32": 0x14C, "win64": 0x8664}
# What registration writes: the class, the ProgID, the type library, the interface.
REGISTRY_MARKS = ["0832EAF8-ABC4-4950-87B0-E6845290E2B4", "MERIDAN_HELPER.DLLFcts",
                  "D36C1091-16A9-41F7-AE38-B3CAC091D594", "AA360BD5-E124-407E-AEF5-560BA69A49BE"]
TIMEOUT = 180


def wine32_route():
    """How 32-bit programs run here, as the tests run them: (route, loaders' folder, reason)."""
    support = subprocess.run([os.path.join(ROOT, "cmake", "wine32-support")], capture_output=True, text=True,
                             env=dict(os.environ, MERIDAN_NO_PREFIX_CHECK="1"))
    if support.returncode != 0:
        return "none", "/usr/lib/wine", support.stdout.strip()
    route, loaders = support.stdout.split(None, 1)
    return route, loaders.strip(), ""


ROUTE, LOADERS, NO_32_BIT = wine32_route()


class Package:
    def __init__(self, arch):
        self.arch = arch
        self.name = "MERIDAN-%s-%s" % (VERSION, arch)
        self.path = os.path.join(OUT, self.name + ".zip")


class Contents:
    """What is in each zip, read without unpacking."""

    def check(self, arch):
        package = Package(arch)
        with zipfile.ZipFile(package.path) as archive:
            names = [n for n in archive.namelist() if not n.endswith("/")]
            self.assertEqual(sorted(names), sorted(package.name + "/" + f for f in FILES))
            for binary in BINARIES:
                with self.subTest(binary=binary):
                    data = archive.read(package.name + "/" + binary)
                    self.check_binary(data, arch, binary)

    def check_binary(self, data, arch, binary):
        scratch = os.path.join(OUT, "scratch-" + arch + "-" + os.path.basename(binary))
        with open(scratch, "wb") as f:
            f.write(data)
        try:
            pe = PeFile(scratch)
        finally:
            os.remove(scratch)
        self.assertEqual(pe.machine, MACHINES[arch], "of the other architecture")
        header = struct.unpack_from("<I", data, 0x3C)[0]
        symbols = struct.unpack_from("<I", data, header + 16)[0]
        self.assertEqual(symbols, 0, "still has symbols")
        names = [self.long_name(data, header, s[0]) for s in pe.sections]
        self.assertFalse([n for n in names if n.startswith(".debug")], "debug sections")
        if binary != "standin-kit/tessan_ddk.dll":
            record = pe.resources()[(16, 1)]
            self.assertIn((VERSION + ".0").encode("utf-16-le"), record, "the version record names the release")


    @staticmethod
    def long_name(data, header, name):
        """A section name of more than 8 characters is "/offset" into the string table."""
        if not name.startswith("/"):
            return name
        table, count = struct.unpack_from("<II", data, header + 12)
        start = table + 18 * count + int(name[1:])
        return data[start:data.index(b"\0", start)].decode("latin-1")


class Win32Contents(Contents, unittest.TestCase):
    def test_holds_exactly_the_listed_files_of_its_architecture(self):
        self.check("win32")


class Win64Contents(Contents, unittest.TestCase):
    def test_holds_exactly_the_listed_files_of_its_architecture(self):
        self.check("win64")


class Installation:
    """One fresh prefix per package: unpack, install, run, uninstall."""

    def setUp(self):
        self.package = Package(self.arch)
        self.prefix = os.path.join(ROOT, "build", "package-prefix-" + self.arch)
        shutil.rmtree(self.prefix, ignore_errors=True)
        os.makedirs(self.prefix)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                        PATH=LOADERS + ":" + os.environ["PATH"])
        self.wine("wineboot", "-i")
        # No display here: windows (the helper's status window) need the null driver.
        self.wine("reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", "null", "/f")
        self.drive = os.path.join(self.prefix, "drive_c")
        self.folder = os.path.join(self.drive, "MERIDAN")
        with zipfile.ZipFile(self.package.path) as archive:
            archive.extractall(self.folder)
        self.install = os.path.join(self.folder, self.package.name)
        self.windows_install = "C:\\MERIDAN\\" + self.package.name + "\\"
        self.elsewhere = os.path.join(self.drive, "work")
        os.makedirs(self.elsewhere)

    def tearDown(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        shutil.rmtree(self.prefix, ignore_errors=True)

    def wine(self, *command, cwd=None):
        run = subprocess.run(["wine64"] + list(command), env=self.env, cwd=cwd or self.prefix, capture_output=True,
                             timeout=TIMEOUT, stdin=subprocess.DEVNULL)
        return run.returncode, run.stdout.decode("latin-1") + run.stderr.decode("latin-1")

    def restart_wine(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True)

    def registry_text(self):
        self.restart_wine()  # the server writes the registry files when it ends
        text = ""
        for hive in ("system.reg", "user.reg", "userdef.reg"):
            path = os.path.join(self.prefix, hive)
            if os.path.exists(path):
                with open(path, encoding="latin-1") as f:
                    text += f.read()
        return text.upper()

    def test_installs_runs_an_example_from_another_folder_and_uninstalls(self):
        code, output = self.wine("cmd", "/c", self.windows_install + "install.cmd", cwd=self.elsewhere)
        self.assertEqual(code, 1, "without the kit beside the library: " + output)
        self.assertIn("tessan_ddk.dll is not in", output)

        shutil.copyfile(os.path.join(self.install, "standin-kit", "tessan_ddk.dll"),
                        os.path.join(self.install, "tessan_ddk.dll"))
        code, output = self.wine("cmd", "/c", self.windows_install + "install.cmd", cwd=self.elsewhere)
        self.assertEqual(code, 0, output)
        self.assertIn("MERIDAN_HELPER registered from", output)
        # Wine only: the first 64-bit activation after a 32-bit registration
        # waits for a server restart (Windows has no such delay).
        self.restart_wine()

        code, output = self.wine("cscript", "//nologo", self.windows_install + "examples\\spc_page.vbs",
                                 cwd=self.elsewhere)
        self.assertEqual(code, 0, output)
        page = os.path.join(self.elsewhere, "spc_page.bmp")
        self.assertTrue(os.path.exists(page), output)
        with open(page, "rb") as f:
            self.assertEqual(f.read(2), b"BM")
        code, output = self.wine("cscript", "//nologo", self.windows_install + "examples\\spc_figures.vbs",
                                 cwd=self.elsewhere)
        self.assertEqual(code, 0, output)
        self.assertIn(" 17 Cpk ", output)
        # The studies through the helper: each example checks its figures itself (exit code 0).
        for example, shown in (("gauge_study.vbs", " 46 %GRR "), ("chart_figures.vbs", "sample  p "),
                               ("capability_figures.vbs", " 11 Ppk ")):
            code, output = self.wine("cscript", "//nologo", self.windows_install + "examples\\" + example,
                                     cwd=self.elsewhere)
            self.assertEqual(code, 0, example + ": " + output)
            self.assertIn(shown, output, example)

        registered = self.registry_text()
        self.assertIn(REGISTRY_MARKS[0], registered, "install.cmd registered nothing")
        code, output = self.wine("cmd", "/c", self.windows_install + "uninstall.cmd", cwd=self.elsewhere)
        self.assertEqual(code, 0, output)
        left = self.registry_text()
        for mark in REGISTRY_MARKS:
            self.assertNotIn(mark.upper(), left, "left in the registry")

    def test_a_helper_that_cannot_start_is_not_taken_for_missing_rights(self):
        shutil.copyfile(os.path.join(self.install, "standin-kit", "tessan_ddk.dll"),
                        os.path.join(self.install, "tessan_ddk.dll"))
        with open(os.path.join(self.install, "MERIDAN_HELPER.exe"), "wb") as f:
            f.write(b"MZ" + bytes(62))  # no program: the helper cannot start
        code, output = self.wine("cmd", "/c", self.windows_install + "install.cmd", cwd=self.elsewhere)
        self.assertEqual(code, 1, output)
        self.assertIn("MERIDAN_HELPER.exe could not be started", output)
        self.assertNotIn("administrator", output)


@unittest.skipIf(ROUTE == "none", "32-bit programs cannot run here: " + NO_32_BIT)
class Win32Installation(Installation, unittest.TestCase):
    arch = "win32"


class Win64Installation(Installation, unittest.TestCase):
    arch = "win64"


if __name__ == "__main__":
    print("32-bit programs run here: " + ROUTE + (" (" + NO_32_BIT + ")" if NO_32_BIT else ""), flush=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
