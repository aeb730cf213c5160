"""Checks of the shipped 32-bit MERIDAN_HELPER.exe, read from the file: a GUI
program for 32-bit Windows that needs no runtime DLL beyond the system's and
loads MERIDAN.DLL only at run time, with its type library embedded as
TYPELIB 1. The library's identities, types and members (names, member
identifiers, vtable order, parameter types and directions) are read from the
compiled library (MSFT format) and compared with the interface as published.

usage: check_helper.py BIN_DIR OBJDUMP"""
import os
import struct
import sys
import unittest
import uuid

from pe_file import PeFile

BIN = sys.argv[1]

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "ole32.dll",
               "oleaut32.dll", "shell32.dll"}

# The fixed identities: registered clients depend on them, so they never change.
LIBID = "D36C1091-16A9-41F7-AE38-B3CAC091D594"
GUIDS = {
    "_DLLFcts": "AA360BD5-E124-407E-AEF5-560BA69A49BE",
    "DLLFcts": "0832EAF8-ABC4-4950-87B0-E6845290E2B4",
    "_XTimer": "E7FFB911-5C89-439F-B02E-3CD6427FA06C",
    "__XTimer": "C989E13E-099C-47D0-9CD9-88A2B292D920",
    "XTimer": "007D731C-3A50-4903-8073-179B5E71C9BC",
}

TKIND_DISPATCH, TKIND_COCLASS = 4, 5
TYPEFLAG_FCANCREATE, TYPEFLAG_FHIDDEN, TYPEFLAG_FDUAL = 0x2, 0x10, 0x40
TYPEFLAG_FNONEXTENSIBLE, TYPEFLAG_FOLEAUTOMATION, TYPEFLAG_FDISPATCHABLE = 0x80, 0x100, 0x1000
INVOKE_FUNC, INVOKE_GET, INVOKE_PUT = 1, 2, 4
CC_STDCALL = 4
IN, OUT, RETVAL = 1, 2, 8

# Parameter types written as in the interface: I2 Integer, I4 Long, R8 Double,
# BSTR String, BOOL Boolean; "*" by reference, "I2[]" an array.
I2, I4, R8, S = "I2", "I4", "R8", "BSTR"
RESULT = ("result", "I2*", "retval")
LONG_RESULT = ("result", "I4*", "retval")


def ref(name, kind):
    return (name, kind + "*", "inout")


def val(name, kind):
    return (name, kind, "in")


DLLFCTS_METHODS = [
    ("Setup", [ref("reserved", I2), val("language", I2), val("FileName", S), val("parent", I4), val("passwort", S),
               RESULT]),
    ("GetName", [val("language", I2), val("FileName", S), val("devicenr", I2), val("typ", I2), val("output", I2),
                 ref("info", S), RESULT]),
    ("Init", [ref("reserved", I2), val("language", I2), val("FileName", S), val("parent", I4), val("wh", I4),
              RESULT]),
    ("DeInit", [RESULT]),
    ("Trigger", [val("devicenr", I2), val("source", I2), val("typ", I2), RESULT]),
    ("Value", [val("devicenr", I2), val("Address", I2), ref("Val1", R8), RESULT]),
    ("Collect", [val("devicenr", I2), ref("Address", I2), ref("Val1", R8), RESULT]),
    ("PreInit", [val(n, I2) for n in ("InitTimes", "UseValueEx", "Reserve1", "Reserve2", "Reserve3", "Reserve4",
                                      "Reserve5")]),
    ("GetInt", [val("addr", I4), ref("variable", I2), RESULT]),
    ("Win_MechAdj", [val("gagenr", I2), val("parent", I4), val("password", S), RESULT]),
    ("CloseProg", []),
    ("Vexo_Init", [val("parent", I4), val("Headline", S), ref("MVFlags", "I2[]"), ref("MVDevices", "I2[]"),
                   ref("MVAddress", "I2[]"), val("MVUnit", S), ref("MVNomSize", "R8[]"), ref("MVUSL", "R8[]"),
                   ref("MVLSL", "R8[]"), ref("MVResolu", "I2[]"), RESULT]),
    ("Vexo_DeInit", []),
    ("Vexo_ShowValues", [ref("MV", "R8[]"), ref("MVError", "I2[]")]),
    ("Vexo_ShowDisplay", [val("state", I2)]),
    ("SPCBitmap", [val("parent", I4), val("FileName", S), val("width", I4), val("height", I4), val("factor", R8),
                   val("Headline", S), val("typ", I2), ref("meaval", "R8[]"), val("numofval", I4),
                   val("NomSize", R8), val("USL", R8), val("LSL", R8), val("USLOnOff", I2), val("LSLOnOff", I2),
                   val("SampleSize", I4), val("SPCNorm", I2), RESULT]),
    ("SPCStatistics", [val("typ", I2), ref("meaval", "R8[]"), val("numofval", I4), val("NomSize", R8),
                       val("USL", R8), val("LSL", R8), val("USLOnOff", I2), val("LSLOnOff", I2),
                       val("SampleSize", I4), val("SPCNorm", I2), ref("results", "R8[]"), RESULT]),
    ("SPCBitmapEx", [val("parent", I4), val("FileName", S), val("width", I4), val("height", I4), val("factor", R8),
                     val("Headline", S), val("typ", I2), ref("meaval", "R8[]"), val("numofval", I4),
                     val("NomSize", R8), val("USL", R8), val("LSL", R8), val("USLOnOff", I2), val("LSLOnOff", I2),
                     val("SampleSize", I4), val("SPCNorm", I2), ref("options", "R8[]"), val("optionCount", I4),
                     RESULT]),
    ("SPCStatisticsEx", [val("typ", I2), ref("meaval", "R8[]"), val("numofval", I4), val("NomSize", R8),
                         val("USL", R8), val("LSL", R8), val("USLOnOff", I2), val("LSLOnOff", I2),
                         val("SampleSize", I4), val("SPCNorm", I2), ref("options", "R8[]"),
                         val("optionCount", I4), ref("results", "R8[]"), val("capacity", I4), LONG_RESULT]),
    ("GaugeStudyStatistics", [val("kind", I2), ref("readings", "R8[]"), val("parts", I4), val("appraisers", I4),
                              val("trials", I4), val("reference", R8), val("tolerance", R8),
                              ref("options", "R8[]"), val("optionCount", I4), ref("results", "R8[]"),
                              val("capacity", I4), LONG_RESULT]),
    ("GaugeStudyBitmap", [val("parent", I4), val("FileName", S), val("width", I4), val("height", I4),
                          val("factor", R8), val("Headline", S), val("kind", I2), ref("readings", "R8[]"),
                          val("parts", I4), val("appraisers", I4), val("trials", I4), val("reference", R8),
                          val("tolerance", R8), ref("options", "R8[]"), val("optionCount", I4), RESULT]),
    ("ChartStatistics", [val("chart", I2), ref("values", "R8[]"), ref("sizes", "R8[]"), val("count", I4),
                         val("SampleSize", I4), val("SPCNorm", I2), ref("options", "R8[]"), val("optionCount", I4),
                         ref("results", "R8[]"), val("capacity", I4), LONG_RESULT]),
    ("ChartBitmap", [val("parent", I4), val("FileName", S), val("width", I4), val("height", I4), val("factor", R8),
                     val("Headline", S), val("chart", I2), ref("values", "R8[]"), ref("sizes", "R8[]"),
                     val("count", I4), val("SampleSize", I4), val("SPCNorm", I2), ref("options", "R8[]"),
                     val("optionCount", I4), RESULT]),
    ("CapabilityStatistics", [ref("values", "R8[]"), val("count", I4), val("SampleSize", I4), val("SPCNorm", I2),
                              val("NomSize", R8), val("USL", R8), val("LSL", R8), val("USLOnOff", I2),
                              val("LSLOnOff", I2), ref("options", "R8[]"), val("optionCount", I4),
                              ref("results", "R8[]"), val("capacity", I4), LONG_RESULT]),
    ("CapabilityBitmap", [val("parent", I4), val("FileName", S), val("width", I4), val("height", I4),
                          val("factor", R8), val("Headline", S), ref("values", "R8[]"), val("count", I4),
                          val("SampleSize", I4), val("SPCNorm", I2), val("NomSize", R8), val("USL", R8),
                          val("LSL", R8), val("USLOnOff", I2), val("LSLOnOff", I2), ref("options", "R8[]"),
                          val("optionCount", I4), RESULT]),
]

VT_NAMES = {2: "I2", 3: "I4", 5: "R8", 8: "BSTR", 11: "BOOL", 24: "void", 25: "HRESULT"}


class TypeLibrary:
    """The parts of a compiled type library (MSFT format) these checks read."""

    def __init__(self, data):
        self.data = data
        (magic, _, self.libid_offset, self.lcid, _, self.varflags, self.version, _, count, _, _, _, _, _,
         self.name_offset) = struct.unpack_from("<15i", data, 0)
        if magic != 0x5446534D:
            raise ValueError("not an MSFT type library")
        position = 0x54 + (4 if self.varflags & 0x100 else 0) + 4 * count
        segments = [struct.unpack_from("<4i", data, position + 16 * i)[0] for i in range(15)]
        self.type_table, self.refs, self.guids, self.names, self.typedescs = (
            segments[0], segments[3], segments[5], segments[7], segments[9])
        self.types = {}
        for index in range(count):
            entry = self.type_table + 0x64 * index
            fields = struct.unpack_from("<25i", data, entry)
            self.types[self.name(fields[13])] = {
                "offset": 0x64 * index, "kind": fields[0] & 0xF, "functions": fields[6] & 0xFFFF,
                "member_offset": fields[1], "guid": self.guid(fields[11]), "flags": fields[12],
                "version": fields[14], "first_ref": fields[21]}

    def name(self, offset):
        length = struct.unpack_from("<i", self.data, self.names + offset + 8)[0] & 0xFF
        start = self.names + offset + 12
        return self.data[start:start + length].decode("latin-1")

    def guid(self, offset):
        start = self.guids + offset
        return str(uuid.UUID(bytes_le=self.data[start:start + 16])).upper()

    def type_name(self, encoded):
        if encoded < 0:
            return VT_NAMES.get(encoded & 0xFFF, "vt%d" % (encoded & 0xFFF))
        vt, _, sub = struct.unpack_from("<hhi", self.data, self.typedescs + encoded)
        if vt == 26:  # VT_PTR
            return self.type_name(sub) + "*"
        if vt == 27:  # VT_SAFEARRAY
            return self.type_name(sub) + "[]"
        return "vt%d" % vt

    def members(self, type_name):
        """[(name, member id, invoke kind, vtable offset, calling convention, result, [(name, type, flags)])]"""
        info = self.types[type_name]
        data, start, count = self.data, info["member_offset"], info["functions"]
        total = struct.unpack_from("<i", data, start)[0]
        records, position = [], start + 4
        for _ in range(count):
            size = struct.unpack_from("<i", data, position)[0] & 0xFFFF
            result, _, vtable, _, bits, arguments = struct.unpack_from("<iihhih", data, position + 4)
            parameters = []
            for a in range(arguments):
                kind, name, flags = struct.unpack_from("<iii", data, position + size - 12 * (arguments - a))
                parameters.append((self.name(name) if name != -1 else None, self.type_name(kind), flags))
            records.append((self.type_name(result), vtable, (bits >> 3) & 0xF, (bits >> 8) & 0xF, parameters))
            position += size
        ids = struct.unpack_from("<%di" % count, data, start + 4 + total)
        names = struct.unpack_from("<%di" % count, data, start + 4 + total + 4 * count)
        return [(self.name(n), i & 0xFFFFFFFF, r[2], r[1], r[3], r[0], r[4]) for r, i, n in zip(records, ids, names)]

    def implemented(self, type_name):
        """[(interface name, implementation flags)] of a coclass"""
        by_offset = {info["offset"]: name for name, info in self.types.items()}
        result, at = [], self.types[type_name]["first_ref"]
        while at != -1:
            reference, flags, _, following = struct.unpack_from("<iiii", self.data, self.refs + at)
            result.append((by_offset.get(reference), flags))
            at = following
        return result


def direction(flags):
    if flags & RETVAL:
        return "retval"
    return {IN: "in", IN | OUT: "inout"}.get(flags & (IN | OUT), "flags %d" % flags)


class HelperExecutable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.path = os.path.join(BIN, "MERIDAN_HELPER.exe")
        cls.pe = PeFile(cls.path)
        cls.library = TypeLibrary(cls.pe.resources()[("TYPELIB", 1)])

    def test_is_a_32_bit_windows_gui_program(self):
        self.assertEqual(self.pe.machine, 0x14C)
        self.assertFalse(self.pe.characteristics & 0x2000, "flagged as a DLL")
        pe = struct.unpack_from("<I", self.pe.data, 0x3C)[0]
        subsystem = struct.unpack_from("<H", self.pe.data, pe + 24 + 68)[0]
        self.assertEqual(subsystem, 2, "not a Windows GUI program")

    def test_needs_no_runtime_dll_beyond_the_system(self):
        imports = set(dll.lower() for dll in self.pe.imports())
        self.assertEqual(imports - SYSTEM_DLLS, set())

    def test_binds_the_library_at_run_time_by_its_name(self):
        self.assertNotIn("meridan.dll", set(dll.lower() for dll in self.pe.imports()))
        self.assertIn("MERIDAN.DLL".encode("utf-16-le"), self.pe.data)
        for export in ("MERIDAN_Value", "MERIDAN_IsExcelStarted", "Display_Init", "Create_SPCBitmap",
                       "Create_SPCStatistics", "Create_SPCBitmapEx", "Create_SPCStatisticsEx",
                       "Create_GaugeStudyStatistics", "Create_GaugeStudyBitmap",
                       "Create_ChartStatistics", "Create_ChartBitmap",
                       "Create_CapabilityStatistics", "Create_CapabilityBitmap"):
            self.assertIn(export.encode() + b"\0", self.pe.data)

    def test_embeds_the_type_library_meridan_helper_3_0_for_locale_409(self):
        library = self.library
        self.assertEqual(library.name(library.name_offset), "MERIDAN_HELPER")
        self.assertEqual(library.guid(library.libid_offset), LIBID)
        self.assertEqual(library.version, 3)  # major 3, minor 0
        self.assertEqual(library.lcid, 0x409)
        self.assertEqual(library.varflags & 0xF, 1, "not a library for 32-bit Windows")

    def test_types_keep_their_identities_and_attributes(self):
        types = self.library.types
        self.assertEqual(sorted(types), sorted(GUIDS))
        for name, guid in GUIDS.items():
            self.assertEqual(types[name]["guid"], guid, name)
        dual = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION
        for interface in ("_DLLFcts", "_XTimer"):
            self.assertEqual(types[interface]["kind"], TKIND_DISPATCH)
            self.assertEqual(types[interface]["flags"] & dual, dual, interface)
        events = types["__XTimer"]
        self.assertEqual(events["kind"], TKIND_DISPATCH)
        self.assertEqual(events["flags"] & (TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDUAL),
                         TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE, "dispatch-only, hidden, not extensible")
        for coclass in ("DLLFcts", "XTimer"):
            self.assertEqual(types[coclass]["kind"], TKIND_COCLASS)
            self.assertTrue(types[coclass]["flags"] & TYPEFLAG_FCANCREATE, coclass)

    def test_classes_name_their_default_and_event_interfaces(self):
        self.assertEqual(self.library.implemented("DLLFcts"), [("_DLLFcts", 1)])
        self.assertEqual(self.library.implemented("XTimer"), [("_XTimer", 1), ("__XTimer", 3)])

    def test_dllfcts_methods_in_interface_order_with_their_member_ids_and_parameters(self):
        members = self.library.members("_DLLFcts")
        self.assertEqual([m[0] for m in members], [m[0] for m in DLLFCTS_METHODS])
        for position, ((name, member, invoke, vtable, convention, result, parameters), (_, expected)) in enumerate(
                zip(members, DLLFCTS_METHODS)):
            with self.subTest(method=name):
                self.assertEqual(member, 0x60030000 + position)
                self.assertEqual(invoke, INVOKE_FUNC)
                self.assertEqual(vtable, 28 + 4 * position)  # after the 7 methods of IDispatch
                self.assertEqual(convention, CC_STDCALL)
                self.assertEqual(result, "HRESULT")
                self.assertEqual([(n, t, direction(f)) for n, t, f in parameters], expected)

    def test_xtimer_properties_method_and_event(self):
        members = [(m[0], m[1], m[2], m[3], m[6]) for m in self.library.members("_XTimer")]
        self.assertEqual([(n, i, k, v, [(t, direction(f)) for _, t, f in p]) for n, i, k, v, p in members], [
            ("Enabled", 0x68030001, INVOKE_GET, 28, [("BOOL*", "retval")]),
            ("Enabled", 0x68030001, INVOKE_PUT, 32, [("BOOL", "in")]),
            ("Interval", 0x68030000, INVOKE_GET, 36, [("I4*", "retval")]),
            ("Interval", 0x68030000, INVOKE_PUT, 40, [("I4", "in")]),
            ("RaiseTick", 0x60030003, INVOKE_FUNC, 44, []),
        ])
        events = self.library.members("__XTimer")
        self.assertEqual([(n, i, k, r, p) for n, i, k, _, _, r, p in events], [("Tick", 1, INVOKE_FUNC, "void", [])])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
