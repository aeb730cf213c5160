"""Checks of the shipped 32-bit MERIDAN.dll and tessan_ddk.dll, read from the
files: export names and ordinals, the argument bytes each stdcall export
removes from the stack, and the import table.

usage: check_meridan.py BIN_DIR OBJDUMP"""
import os
import re
import subprocess
import sys
import unittest

from pe_file import PeFile

BIN, OBJDUMP = sys.argv[1], sys.argv[2]

# name: (ordinal, argument bytes on i686)
MERIDAN_EXPORTS = {
    "MERIDAN_Collect": (1, 12),
    "MERIDAN_DeInit": (2, 0),
    "MERIDAN_GetInt": (3, 8),
    "MERIDAN_GetName": (4, 24),
    "MERIDAN_Init": (5, 20),
    "MERIDAN_IsExcelStarted": (6, 4),
    "MERIDAN_PreInit": (7, 28),
    "MERIDAN_Setup": (8, 20),
    "MERIDAN_Trigger": (9, 12),
    "MERIDAN_Value": (10, 12),
    "MERIDAN_Win_MechAdj": (11, 12),
    "Create_SPCBitmap": (12, 80),
    "Display_DeInit": (13, 0),
    "Display_Init": (14, 40),
    "Display_ShowDisplay": (15, 4),
    "Display_ShowValues": (16, 8),
    "Create_SPCStatistics": (17, 56),
    "Create_SPCBitmapEx": (18, 88),
    "Create_SPCStatisticsEx": (19, 68),
    "Create_GaugeStudyStatistics": (20, 52),
    "Create_GaugeStudyBitmap": (21, 72),
    "Create_ChartStatistics": (22, 40),
    "Create_ChartBitmap": (23, 60),
    "Create_CapabilityStatistics": (24, 64),
    "Create_CapabilityBitmap": (25, 84),
}

KIT_FUNCTIONS = ["Device_Collect", "Device_DeInit", "Device_GetInt", "Device_GetName", "Device_Init",
                 "Device_PreInit", "Device_Setup", "Device_Trigger", "Device_Value", "Device_Win_MechAdj"]

# What a Windows installation has anyway; anything else would have to be shipped.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "ole32.dll",
               "oleaut32.dll", "psapi.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll"}


def stack_bytes_removed(path, exports):
    """{export name: set of the immediates of every ret in that function}"""
    text = subprocess.run([OBJDUMP, "-d", "--no-show-raw-insn", path], capture_output=True, text=True,
                          check=True).stdout
    starts = {}
    current = None
    rets = {}
    for line in text.splitlines():
        header = re.match(r"^([0-9a-f]+) <([^>]+)>:$", line)
        if header:
            current = int(header.group(1), 16)
            starts[current] = header.group(2)
            rets[current] = set()
            continue
        m = re.match(r"^\s*[0-9a-f]+:\s+(?:repz )?ret[l]?\s*(\$0x[0-9a-f]+)?", line)
        if m and current is not None:
            rets[current].add(int(m.group(1)[1:], 16) if m.group(1) else 0)
    return {name: rets.get(address) for name, address in exports.items()}


class MeridanDll(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.path = os.path.join(BIN, "MERIDAN.dll")
        cls.pe = PeFile(cls.path)

    def test_is_a_32_bit_dll(self):
        self.assertEqual(self.pe.machine, 0x14C)
        self.assertTrue(self.pe.characteristics & 0x2000, "not flagged as a DLL")

    def test_export_directory_names_the_library(self):
        name, _, _ = self.pe.exports()
        self.assertEqual(name, "MERIDAN.dll")

    def test_exports_exactly_the_plain_names_with_their_ordinals(self):
        _, exports, unnamed = self.pe.exports()
        self.assertEqual({n: o for n, (o, _) in exports.items()},
                         {n: o for n, (o, _) in MERIDAN_EXPORTS.items()})
        self.assertEqual(unnamed, set(), "exports without a name")
        self.assertFalse([n for n in exports if "@" in n], "decorated duplicates")

    def test_every_export_removes_its_argument_bytes(self):
        _, exports, _ = self.pe.exports()
        addresses = {n: self.pe.image_base + rva for n, (_, rva) in exports.items()}
        removed = stack_bytes_removed(self.path, addresses)
        for name, (_, size) in MERIDAN_EXPORTS.items():
            if name not in exports:
                continue  # reported by the name check
            with self.subTest(export=name):
                self.assertEqual(removed[name], {size}, f"{name} should end in ret {size}")

    def test_imports_exactly_the_ten_kit_functions_by_name(self):
        imports = {dll.lower(): names for dll, names in self.pe.imports().items()}
        self.assertIn("tessan_ddk.dll", imports)
        self.assertEqual(sorted(imports["tessan_ddk.dll"]), sorted(KIT_FUNCTIONS))

    def test_needs_no_runtime_dll_beyond_the_system(self):
        extra = set(dll.lower() for dll in self.pe.imports()) - SYSTEM_DLLS - {"tessan_ddk.dll"}
        self.assertEqual(extra, set())

    def test_carries_a_version_record(self):
        self.assertIn((16, 1), self.pe.resources())


class StandInKit(unittest.TestCase):
    def test_exports_the_kit_functions_by_plain_name(self):
        pe = PeFile(os.path.join(BIN, "tessan_ddk.dll"))
        name, exports, _ = pe.exports()
        self.assertEqual(name, "tessan_ddk.dll")
        self.assertEqual(sorted(exports), sorted(KIT_FUNCTIONS + ["Sim_GetLastCall"]))
        addresses = {n: pe.image_base + rva for n, (_, rva) in exports.items()}
        removed = stack_bytes_removed(os.path.join(BIN, "tessan_ddk.dll"), addresses)
        self.assertEqual(removed["Device_GetName"], {24})
        self.assertEqual(removed["Sim_GetLastCall"], {8})


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
