"""Checks dialog template 1 of the shipped 32-bit MERIDAN.dll, the readout
window, read from the file: window style, size and font, and each of its 81
controls with identifier, class, style, extended style, place and size.

usage: check_display_dialog.py BIN_DIR OBJDUMP"""
import os
import struct
import sys
import unittest

from pe_file import PeFile

BIN = sys.argv[1]
RT_DIALOG = 5
CLASS_ORDINALS = {0x80: "button", 0x82: "static"}


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        first = self.take("H")
        if first == 0:
            return ""
        if first == 0xFFFF:
            return self.take("H")
        self.at -= 2
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def parse_dialog(data):
    r = Reader(data)
    version, signature, _help, exstyle, style, count, x, y, cx, cy = r.take("HHIIIHhhhh")
    dialog = dict(version=version, signature=signature, exstyle=exstyle, style=style, rect=(x, y, cx, cy),
                  menu=r.name_or_ordinal(), cls=r.name_or_ordinal(), title=r.text())
    if style & 0x40:  # DS_SETFONT
        points, weight, italic, charset = r.take("HHBB")
        dialog["font"] = (points, weight, italic, charset, r.text())
    controls = []
    for _ in range(count):
        r.align()
        _help, ex, st, x, y, cx, cy, ident = r.take("IIIhhhhI")
        cls = r.name_or_ordinal()
        cls = CLASS_ORDINALS.get(cls, cls).lower() if isinstance(cls, int) else cls.lower()
        title = r.name_or_ordinal()
        extra = r.take("H")
        r.at += extra
        controls.append(dict(id=ident, cls=cls, style=st, exstyle=ex, rect=(x, y, cx, cy), title=title))
    return dialog, controls


def expected_controls():
    rows = []
    for k in range(1, 21):
        y = 5 + 12 * (k - 1)
        rows += [
            dict(id=10 + k, cls="static", style=0x50020201, exstyle=0x1, rect=(5, y, 38, 12),
                 title="ADR8.120" if k == 1 else "ADR8.88"),
            dict(id=30 + k, cls="static", style=0x50020200, exstyle=0, rect=(43, y, 110, 12), title=""),
            dict(id=50 + k, cls="static", style=0x50020000, exstyle=0x200, rect=(153, y, 245, 10), title=""),
            dict(id=70 + k, cls="static", style=0x50020202, exstyle=0x200, rect=(399, y, 44, 10), title=""),
        ]
    rows.append(dict(id=1, cls="button", style=0x50010000, exstyle=0, rect=(195, 258, 50, 14), title="OK"))
    return rows


class ReadoutDialogTemplate(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        resources = PeFile(os.path.join(BIN, "MERIDAN.dll")).resources()
        if (RT_DIALOG, 1) not in resources:
            raise AssertionError("MERIDAN.dll has no dialog template 1")
        cls.dialog, cls.controls = parse_dialog(resources[(RT_DIALOG, 1)])

    def test_is_an_extended_template(self):
        self.assertEqual((self.dialog["version"], self.dialog["signature"]), (1, 0xFFFF))

    def test_window_is_a_hidden_topmost_sizable_popup_with_caption(self):
        self.assertEqual(hex(self.dialog["style"]), hex(0x80C40A40))
        self.assertEqual(hex(self.dialog["exstyle"]), hex(0x8))

    def test_window_sits_at_the_origin_with_its_size_in_dialog_units(self):
        self.assertEqual(self.dialog["rect"], (0, 0, 448, 277))

    def test_has_no_menu_standard_class_and_empty_caption(self):
        self.assertEqual((self.dialog["menu"], self.dialog["cls"], self.dialog["title"]), ("", "", ""))

    def test_font_is_tahoma_12_points_regular(self):
        self.assertEqual(self.dialog["font"], (12, 400, 0, 0, "Tahoma"))

    def test_has_the_81_controls_in_order(self):
        self.assertEqual(len(self.controls), 81)
        for got, want in zip(self.controls, expected_controls()):
            with self.subTest(control=want["id"]):
                self.assertEqual(got["id"], want["id"])
                self.assertEqual(got["cls"], want["cls"])
                self.assertEqual(hex(got["style"]), hex(want["style"]))
                self.assertEqual(hex(got["exstyle"]), hex(want["exstyle"]))
                self.assertEqual(got["rect"], want["rect"])
                self.assertEqual(got["title"], want["title"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
