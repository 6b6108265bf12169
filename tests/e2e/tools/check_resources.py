#!/usr/bin/env python3
"""Reads the resources back from a built setup.exe and checks them against the templates the launcher defines.

    check_resources.py SETUP_EXE [--dump]

Extracts each resource with wrestool (icoutils) and parses it: the dialog templates 100,
105 and 107 (ids, positions, sizes, styles, font), the icons 1, 104 and 106 (16, 32 and 48
pixels in 16 and 256 colours), string 9, the application manifest (execution level,
common controls 6, supported OS entries, DPI awareness) and the version resource. Prints
what it read and exits non-zero at the first difference.
"""
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

# Window and control styles.
WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_SYSMENU, WS_VSCROLL = 0x00C00000, 0x00080000, 0x00200000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_SETFONT, DS_MODALFRAME = 0x40, 0x80
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTORADIOBUTTON = 0, 1, 9
CBS_DROPDOWNLIST, CBS_AUTOHSCROLL, CBS_SORT = 3, 0x40, 0x100
SS_LEFT, SS_ICON = 0, 3
BUTTON, STATIC, COMBOBOX = 0x80, 0x82, 0x85
CLASS_NAMES = {"BUTTON": BUTTON, "STATIC": STATIC, "COMBOBOX": COMBOBOX}

CHILD = WS_CHILD | WS_VISIBLE
MODAL_CAPTIONED = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT

# (id, class, x, y, cx, cy, style, text); text: a string, or an int for an icon ordinal.
EXPECTED_DIALOGS = {
    100: {
        "style": MODAL_CAPTIONED, "rect": (0, 0, 252, 73),
        "caption": "Choose Setup Language", "font": (8, "MS Sans Serif"),
        "items": [
            (1, BUTTON, 71, 57, 54, 14, CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, "OK"),
            (2, BUTTON, 127, 57, 54, 14, CHILD | BS_PUSHBUTTON | WS_TABSTOP, "Cancel"),
            (1109, COMBOBOX, 36, 39, 180, 68,
             CHILD | CBS_DROPDOWNLIST | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, ""),
            (1113, STATIC, 7, 9, 20, 20, CHILD | SS_ICON, 104),
            (1112, STATIC, 44, 7, 204, 27, CHILD | SS_LEFT | WS_GROUP,
             "Select the language for this installation from the choices below"),
        ],
    },
    105: {
        "style": WS_POPUP | DS_MODALFRAME | DS_SETFONT, "rect": (0, 0, 221, 36),
        "caption": "", "font": (8, "MS Sans Serif"),
        "items": [
            (0xFFFF, STATIC, 6, 6, 21, 20, CHILD | SS_ICON, 106),
            (1112, STATIC, 32, 9, 182, 16, CHILD | SS_LEFT | WS_GROUP, ""),
        ],
    },
    107: {
        "style": MODAL_CAPTIONED, "rect": (0, 0, 252, 73),
        "caption": "", "font": (8, "MS Sans Serif"),
        "items": [
            (1, BUTTON, 71, 57, 54, 14, CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, "OK"),
            (2, BUTTON, 127, 57, 54, 14, CHILD | BS_PUSHBUTTON | WS_TABSTOP, "Cancel"),
            (1113, BUTTON, 35, 8, 215, 12, CHILD | BS_AUTORADIOBUTTON, ""),
            (1114, BUTTON, 35, 28, 215, 12, CHILD | BS_AUTORADIOBUTTON, ""),
            (1115, STATIC, 7, 9, 20, 20, CHILD | SS_ICON, 104),
        ],
    },
}

EXPECTED_ICON_IMAGES = sorted((size, bits) for size in (16, 32, 48) for bits in (4, 8))

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def resource(exe, rtype, name):
    result = subprocess.run(["wrestool", "--raw", "-x", "-t", str(rtype), "-n", str(name), exe],
                            capture_output=True)
    return result.stdout


class Reader:
    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self, n=4):
        self.pos = (self.pos + n - 1) // n * n

    def sz_or_ord(self):
        first = self.take("H")
        if first == 0xFFFF:
            return self.take("H")
        chars = []
        while first != 0:
            chars.append(chr(first))
            first = self.take("H")
        return "".join(chars)


def parse_dialog(data):
    r = Reader(data)
    style, _exstyle, count, x, y, cx, cy = r.take("IIHhhhh")
    menu, cls, caption = r.sz_or_ord(), r.sz_or_ord(), r.sz_or_ord()
    font = None
    if style & DS_SETFONT:
        point = r.take("H")
        font = (point, r.sz_or_ord())
    items = []
    for _ in range(count):
        r.align()
        istyle, _iex, ix, iy, icx, icy, iid = r.take("IIhhhhH")
        icls, text = r.sz_or_ord(), r.sz_or_ord()
        extra = r.take("H")
        r.pos += extra
        if isinstance(icls, str):
            icls = CLASS_NAMES.get(icls.upper(), icls)
        items.append((iid, icls, ix, iy, icx, icy, istyle, text))
    return {"style": style, "rect": (x, y, cx, cy), "caption": caption, "font": font,
            "menu": menu, "class": cls, "items": items}


def check_dialogs(exe):
    for number, want in EXPECTED_DIALOGS.items():
        data = resource(exe, 5, number)
        check(bool(data), f"dialog {number} present")
        if not data:
            continue
        got = parse_dialog(data)
        check(got["style"] == want["style"],
              f"dialog {number} style {got['style']:#010x} (want {want['style']:#010x})")
        check(got["rect"] == want["rect"], f"dialog {number} at {got['rect']}")
        check(got["caption"] == want["caption"], f"dialog {number} caption {got['caption']!r}")
        check(got["font"] == want["font"], f"dialog {number} font {got['font']}")
        check(len(got["items"]) == len(want["items"]),
              f"dialog {number} has {len(got['items'])} controls")
        for g, w in zip(got["items"], want["items"]):
            shown = (f"dialog {number} control {g[0]}: class {g[1]:#x} at {g[2]},{g[3]} "
                     f"size {g[4]}x{g[5]} style {g[6]:#010x} text {g[7]!r}")
            check(g == w, shown + ("" if g == w else f"  (want {w})"))


def check_icons(exe):
    for number in (1, 104, 106):
        data = resource(exe, 14, number)
        check(bool(data), f"icon group {number} present")
        if not data:
            continue
        _reserved, _type, count = struct.unpack_from("<HHH", data, 0)
        images = []
        for i in range(count):
            w, h, _colours, _res, _planes, bits, _size, _id = struct.unpack_from(
                "<BBBBHHIH", data, 6 + 14 * i)
            images.append(((w or 256), bits))
            check(w == h, f"icon {number}: image {i} is square ({w}x{h})")
        check(sorted(images) == EXPECTED_ICON_IMAGES,
              f"icon {number} images (size, bits): {sorted(images)}")


def check_strings(exe):
    data = resource(exe, 6, 1)  # block 1: strings 0..15
    strings, pos = [], 0
    for _ in range(16):
        (length,) = struct.unpack_from("<H", data, pos)
        pos += 2
        strings.append(data[pos:pos + 2 * length].decode("utf-16-le"))
        pos += 2 * length
    check(strings[9] == "Setup cannot continue", f"string 9 {strings[9]!r}")


def check_manifest(exe):
    data = resource(exe, 24, 1)
    check(bool(data), "manifest (type 24, id 1) present")
    if not data:
        return
    root = ET.fromstring(data)
    every = list(root.iter())

    def local(tag):
        return [e for e in every if e.tag.split("}")[-1] == tag]

    levels = [e.get("level") for e in local("requestedExecutionLevel")]
    check(levels == ["requireAdministrator"], f"requested execution level {levels}")
    ui_access = [e.get("uiAccess") for e in local("requestedExecutionLevel")]
    check(ui_access == ["false"], f"uiAccess {ui_access}")
    controls = [(e.get("name"), e.get("version"), e.get("publicKeyToken"))
                for e in local("assemblyIdentity")
                if e.get("name") == "Microsoft.Windows.Common-Controls"]
    check(controls == [("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df")],
          f"common controls dependency {controls}")
    supported = {e.get("Id") for e in local("supportedOS")}
    check(supported == set(SUPPORTED_OS),
          "supported OS: " + ", ".join(SUPPORTED_OS.get(i, i) for i in sorted(supported)))
    dpi = [e.text for e in local("dpiAware")]
    check(dpi == ["true"], f"dpiAware {dpi}")
    awareness = [e.text for e in local("dpiAwareness")]
    check(awareness == ["system"], f"dpiAwareness {awareness}")


def parse_version(data):
    """The fixed file info and the StringFileInfo values of a VS_VERSIONINFO."""
    values = {}
    fixed = None

    def block(pos, end_limit):
        nonlocal fixed
        length, value_length, vtype = struct.unpack_from("<HHH", data, pos)
        end = pos + length
        key_end = pos + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[pos + 6:key_end].decode("utf-16-le")
        value_pos = (key_end + 2 + 3) // 4 * 4
        if key == "VS_VERSION_INFO":
            fixed = struct.unpack_from("<13I", data, value_pos)
            child = (value_pos + value_length + 3) // 4 * 4
        elif vtype == 1 and value_length:
            text = data[value_pos:value_pos + 2 * value_length].decode("utf-16-le")
            values[key] = text.rstrip("\0")
            child = end
        else:
            child = (value_pos + (value_length if vtype == 0 else 2 * value_length) + 3) // 4 * 4
        while child < end:
            child = block(child, end)
        return (end + 3) // 4 * 4

    block(0, len(data))
    return fixed, values


def check_version(exe):
    data = resource(exe, 16, 1)
    check(bool(data), "version resource present")
    if not data:
        return
    fixed, values = parse_version(data)
    check(fixed is not None and fixed[0] == 0xFEEF04BD, "VS_FIXEDFILEINFO signature")
    if fixed:
        file_version = (fixed[2] >> 16, fixed[2] & 0xFFFF, fixed[3] >> 16, fixed[3] & 0xFFFF)
        product_version = (fixed[4] >> 16, fixed[4] & 0xFFFF, fixed[5] >> 16, fixed[5] & 0xFFFF)
        check(file_version != (0, 0, 0, 0), f"binary file version {file_version}")
        check(product_version != (0, 0, 0, 0), f"binary product version {product_version}")
        check(fixed[9] == 1, f"file type {fixed[9]} (VFT_APP)")
    for key in ("FileVersion", "ProductVersion", "FileDescription", "ProductName",
                "CompanyName"):
        check(bool(values.get(key)), f"{key} {values.get(key)!r}")
    check(values.get("OriginalFilename") == "setup.exe",
          f"OriginalFilename {values.get('OriginalFilename')!r}")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    exe = sys.argv[1]
    check_dialogs(exe)
    check_icons(exe)
    check_strings(exe)
    check_manifest(exe)
    check_version(exe)
    if failures:
        print(f"{len(failures)} resource check(s) failed in {exe}")
        sys.exit(1)
    print(f"all resource checks passed in {exe}")


if __name__ == "__main__":
    main()
