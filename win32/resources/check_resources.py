#!/usr/bin/env python3
"""Checks the resources compiled into Quillet.exe.

    check_resources.py Quillet.exe resource_names.h VERSION

Reads the executable's resource directory itself (no Windows needed) and fails when a
picture named in resource_names.h, or one of its variants for the larger display scales (the
glyphs at each of kGlyphScaledSizes, the splash picture at each of kSplashScalePercents, packed,
the icons' sizes), is missing or has the wrong kind, size or transparent pixel, when the exe
carries a bitmap the header does not name, when a picture or the manifest is not
language-neutral, or when the version record or the manifest are missing or wrong (the
manifest: common controls 6, asInvoker, the supported releases from Vista to 11, DPI-aware
per monitor).
"""

import re
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

RT_BITMAP, RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 3, 10, 14, 16, 24

failures = []


def fail(message):
    failures.append(message)


# --- The PE resource directory -------------------------------------------------------------

class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise SystemExit("check_resources: not a PE file")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            virtual_size, rva, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_pointer))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise SystemExit("check_resources: address 0x%x is in no section" % rva)

    def resources(self):
        """{(type, name): (language, bytes)}; type and name are ints or upper-case strings."""
        if self.resource_rva == 0:
            return {}
        base = self.offset(self.resource_rva)
        found = {}

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if name & 0x80000000:
                    at = base + (name & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    name = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
                yield name, target

        for type_id, type_dir in entries(0):
            for name, name_dir in entries(type_dir & 0x7FFFFFFF):
                for language, leaf in entries(name_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(rva)
                    found[(type_id, name)] = (language, self.data[at:at + size])
        return found


# --- Checks --------------------------------------------------------------------------------

def dib_header(blob):
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", blob, 0)
    return size, width, height, bits, compression


def dib_pixels(name, blob):
    """The pixels of a DIB (24-bit, or 8-bit with a palette, plain or RLE8) as rows of
    0x00BBGGRR values, top row first; None (after failing) for any other kind."""
    header_size, w, h, bits, compression = dib_header(blob)
    height = abs(h)
    if bits == 24 and compression == 0:
        stride = (w * 3 + 3) & ~3
        data = blob[header_size:]
        if len(data) < stride * height:
            fail("%s holds too few pixel bytes" % name)
            return None
        rows = []
        for row in range(height):
            line = data[row * stride:row * stride + 3 * w]
            rows.append([line[3 * x + 2] | line[3 * x + 1] << 8 | line[3 * x] << 16 for x in range(w)])
    elif bits == 8 and compression in (0, 1):
        used = struct.unpack_from("<I", blob, 32)[0] or 256
        palette = [blob[header_size + 4 * i + 2] | blob[header_size + 4 * i + 1] << 8 | blob[header_size + 4 * i] << 16
                   for i in range(used)]
        data = blob[header_size + 4 * used:]
        indices = [[0] * w for _ in range(height)]
        if compression == 0:
            stride = (w + 3) & ~3
            if len(data) < stride * height:
                fail("%s holds too few pixel bytes" % name)
                return None
            indices = [list(data[row * stride:row * stride + w]) for row in range(height)]
        else:
            x = y = at = 0
            while at + 1 < len(data):
                count, value = data[at], data[at + 1]
                at += 2
                if count > 0:
                    for _ in range(count):
                        if y < height and x < w:
                            indices[y][x] = value
                        x += 1
                elif value == 0:
                    x, y = 0, y + 1
                elif value == 1:
                    break
                elif value == 2:
                    x, y = x + data[at], y + data[at + 1]
                    at += 2
                else:
                    for i in range(value):
                        if y < height and x < w:
                            indices[y][x] = data[at + i]
                        x += 1
                    at += value + (value & 1)
            else:
                fail("%s: the compressed pixels have no end" % name)
                return None
        if any(i >= used for row in indices for i in row):
            fail("%s uses a colour its palette does not have" % name)
            return None
        rows = [[palette[i] for i in row] for row in indices]
    else:
        fail("%s is neither a 24-bit nor an 8-bit bitmap" % name)
        return None
    return rows if h < 0 else rows[::-1]


def check_bitmap(name, blob, width, height, transparent=None, bits=24):
    header_size, w, h, depth, compression = dib_header(blob)
    if (w, abs(h)) != (width, height):
        fail("%s is %d x %d, not %d x %d" % (name, w, abs(h), width, height))
        return
    if depth != bits:
        fail("%s is a %d-bit bitmap, not %d-bit" % (name, depth, bits))
        return
    if bits == 24 and compression != 0:
        fail("%s is not an uncompressed 24-bit bitmap" % name)
        return
    rows = dib_pixels(name, blob)
    if rows is None:
        return

    colours = {c for row in rows for c in row}
    if len(colours) < 3:
        fail("%s is (nearly) one colour: nothing drawn" % name)
    if transparent is not None:
        if rows[-1][0] != transparent:
            fail("%s: the bottom-left pixel is 0x%06X, not the transparent colour" % (name, rows[-1][0]))
        drawn = sum(1 for row in rows for c in row if c != transparent)
        if drawn < w * abs(h) // 8:
            fail("%s has only %d drawn pixels" % (name, drawn))


def unpacked_picture(name, blob):
    """The bitmap of a packed picture (platform/packed_picture.h: its length, then the bitmap
    deflated), or None after failing."""
    try:
        length = struct.unpack_from("<I", blob, 0)[0]
        dib = zlib.decompressobj(-15).decompress(blob[4:])
    except (struct.error, zlib.error) as e:
        fail("%s is not a packed picture: %s" % (name, e))
        return None
    if len(dib) != length:
        fail("%s unpacks to %d bytes, not the %d it says" % (name, len(dib), length))
        return None
    return dib


def png_rgba(name, blob):
    """Width, height and the (r, g, b, a) pixels, top row first, of an icon image stored as
    PNG (8-bit RGBA, not interlaced, as make-pictures.py writes them), or None after failing."""
    at, header, data = 8, None, b""
    while at + 8 <= len(blob):
        length, kind = struct.unpack_from(">I4s", blob, at)
        body = blob[at + 8:at + 8 + length]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != struct.unpack_from(">I", blob, at + 8 + length)[0]:
            fail("%s: the PNG chunk %s is damaged" % (name, kind))
            return None
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            data += body
        at += 12 + length
    if header is None or header[2:] != (8, 6, 0, 0, 0):
        fail("%s is not an 8-bit RGBA PNG" % name)
        return None
    w, h = header[:2]
    raw, stride, rows, previous = zlib.decompress(data), 4 * w, [], bytearray(4 * w)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                guess = min((abs(p - left), 0, left), (abs(p - up), 1, up), (abs(p - corner), 2, corner))[2]
                line[i] = (line[i] + guess) & 255
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(w)])
        previous = line
    return w, h, rows


def check_icon_group(name, blob, icons, sizes=(16, 32, 48), few_colour_sizes=(16, 32)):
    reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
    if kind != 1 or count == 0:
        fail("%s is not an icon group" % name)
        return
    present = set()
    for i in range(count):
        w, h, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
        w, h = w or 256, h or 256
        if (RT_ICON, icon_id) not in icons:
            fail("%s: icon image %d is missing" % (name, icon_id))
            continue
        image = icons[(RT_ICON, icon_id)][1]
        if image.startswith(b"\x89PNG\r\n\x1a\n"):
            # Read from Windows Vista on; never the sizes Windows XP asks at 96 dpi.
            picture = png_rgba("%s %d px" % (name, w), image)
            if picture is None:
                continue
            if picture[:2] != (w, h) or bits != 32:
                fail("%s: image %d says %d x %d x %d but holds a %d x %d PNG" % (name, icon_id, w, h, bits, *picture[:2]))
                continue
            if w in (16, 32, 48):
                fail("%s: the %d px image is a PNG, which Windows XP cannot read" % (name, w))
            alphas = {pixel[3] for row in picture[2] for pixel in row}
        else:
            _, iw, ih, ibits, _ = dib_header(image)
            if (iw, ih) != (w, 2 * h) or ibits != bits:
                fail("%s: image %d says %d x %d x %d but holds %d x %d x %d" % (name, icon_id, w, h, bits, iw, ih // 2, ibits))
                continue
            alphas = {image[40 + 4 * p + 3] for p in range(w * h)} if bits == 32 else None
        if alphas is not None:
            if 0 not in alphas or 255 not in alphas:
                fail("%s: the %d px image has no transparent or no opaque pixels" % (name, w))
        present.add((w, bits))
    for size in sizes:
        if (size, 32) not in present:
            fail("%s has no %d x %d image with alpha" % (name, size, size))
    for size in few_colour_sizes:
        if not any(s == size and b <= 8 for s, b in present):
            fail("%s has no %d x %d image in few colours for systems without alpha icons" % (name, size, size))


def version_blocks(blob, at=0, end=None):
    """Yields (key, value bytes, value length, type, children offset, block end) of the
    version record's blocks from at to end."""
    end = len(blob) if end is None else end
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", blob, at)
        if length == 0:
            break
        key_end = at + 6
        while blob[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = blob[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        yield key, blob[value_at:value_at + value_bytes], kind, (value_at + value_bytes + 3) & ~3, at + length
        at = (at + length + 3) & ~3


def check_version(blob, version):
    major, minor = (int(v) for v in version.split(".")[:2])
    root = list(version_blocks(blob))
    if not root or root[0][0] != "VS_VERSION_INFO":
        fail("the version record has no VS_VERSION_INFO block")
        return
    _, fixed, _, children, end = root[0]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed, 0)
    if signature != 0xFEEF04BD:
        fail("the version record's fixed part has the wrong signature")
    if (file_ms, file_ls) != (major << 16 | minor, 0) or (product_ms, product_ls) != (major << 16 | minor, 0):
        fail("file or product version is not %d.%d.0.0" % (major, minor))
    strings, translation = {}, None
    for key, _, _, sub, sub_end in version_blocks(blob, children, end):
        if key == "StringFileInfo":
            for table, _, _, table_children, table_end in version_blocks(blob, sub, sub_end):
                if table.upper() != "080404B0":
                    fail("string table %s is not Chinese (Simplified), Unicode" % table)
                for name, value, _, _, _ in version_blocks(blob, table_children, table_end):
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
        elif key == "VarFileInfo":
            for name, value, _, _, _ in version_blocks(blob, sub, sub_end):
                if name == "Translation":
                    translation = struct.unpack_from("<HH", value, 0)
    if translation != (0x0804, 1200):
        fail("the version record's translation is %r, not (0x0804, 1200)" % (translation,))
    expected = {"ProductName": "Quillet", "FileVersion": "%d.%d" % (major, minor),
                "ProductVersion": "%d.%d" % (major, minor), "OriginalFilename": "Quillet.exe"}
    for name, value in expected.items():
        if strings.get(name) != value:
            fail("version string %s is %r, not %r" % (name, strings.get(name), value))
    description = strings.get("FileDescription", "")
    if not any("\u4e00" <= ch <= "\u9fff" for ch in description):
        fail("the file description %r is not in Chinese" % description)


# The releases the manifest must name: without the 8.1 and 10 entries those systems report
# themselves as Windows 8 (6.2 build 9200).
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def check_manifest(blob):
    ns = {"a": "urn:schemas-microsoft-com:asm.v1", "v2": "urn:schemas-microsoft-com:asm.v2",
          "v3": "urn:schemas-microsoft-com:asm.v3", "c": "urn:schemas-microsoft-com:compatibility.v1",
          "ws2005": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
          "ws2016": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
    try:
        root = ET.fromstring(blob)
    except ET.ParseError as error:
        fail("the manifest is not well-formed XML: %s" % error)
        return
    controls = [d for d in root.findall("a:dependency/a:dependentAssembly/a:assemblyIdentity", ns)
                if d.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0" or controls[0].get("processorArchitecture") != "*":
        fail("the manifest does not ask for the common controls 6.0.0.0 of any processor")
    level = root.find("v2:trustInfo/v2:security/v2:requestedPrivileges/v2:requestedExecutionLevel", ns)
    if level is None or level.get("level") != "asInvoker":
        fail("the manifest does not run the program asInvoker (in the asm.v2 trust section XP reads)")
    declared = {entry.get("Id", "").lower() for entry in root.findall("c:compatibility/c:application/c:supportedOS", ns)}
    for guid, release in SUPPORTED_OS.items():
        if guid not in declared:
            fail("the manifest does not declare %s as a supported system (supportedOS %s)" % (release, guid))
    settings = "v3:application/v3:windowsSettings/"
    aware = root.find(settings + "ws2005:dpiAware", ns)
    if aware is None or (aware.text or "").strip().lower() != "true/pm":
        fail("the manifest does not declare the program DPI-aware per monitor (dpiAware true/pm, 2005 settings)")
    awareness = root.find(settings + "ws2016:dpiAwareness", ns)
    modes = [m.strip().lower() for m in (awareness.text or "").split(",")] if awareness is not None else []
    if modes != ["permonitorv2", "permonitor"]:
        fail("the manifest's dpiAwareness (2016 settings) is %r, not PerMonitorV2, then PerMonitor" %
             (awareness.text if awareness is not None else None))
    known = {"{%s}%s" % (ns["a"], tag) for tag in ("assemblyIdentity", "description", "dependency")}
    known.add("{%s}trustInfo" % ns["v2"])
    # Sections of other namespaces, which Windows XP passes over.
    known.add("{%s}compatibility" % ns["c"])
    known.add("{%s}application" % ns["v3"])
    for child in root:
        if child.tag not in known:
            fail("the manifest holds %s, which Windows XP's loader is not known to accept" % child.tag)


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    exe, header, version = argv[1:]
    with open(exe, "rb") as f:
        found = Image(f.read()).resources()
    text = open(header, encoding="utf-8").read()
    names = dict(re.findall(r'constexpr char (k\w+)\[\] = "([A-Z0-9_]+)"', text))
    numbers = {k: int(v) for k, v in re.findall(r"constexpr int (k\w+) = (\d+)", text)}
    lists = {k: [int(n) for n in v.split(",")] for k, v in re.findall(r"constexpr int (k\w+)\[\] = \{([\d, ]+)\}", text)}
    transparent = int(re.search(r"kGlyphTransparentColour = (0x[0-9A-Fa-f]+)", text).group(1), 16)
    if not names:
        raise SystemExit("check_resources: no names read from %s" % header)

    def scaled(length, percent):  # the program's rounding (platform/display_scale.h)
        return (length * percent + 50) // 100

    variants = set()
    for constant, name in sorted(names.items()):
        if constant == "kMainIcon":
            if (RT_GROUP_ICON, name) not in found:
                fail("icon %s is missing" % name)
            else:
                check_icon_group(name, found[(RT_GROUP_ICON, name)][1], found, (16, 20, 24, 32, 40, 48, 64))
        elif constant == "kWarningIcon":
            if (RT_GROUP_ICON, name) not in found:
                fail("icon %s is missing" % name)
            else:
                check_icon_group(name, found[(RT_GROUP_ICON, name)][1], found, (32, 40, 48, 64), (32,))
        elif constant == "kSplashPicture":
            pictures = [(name, 100, 24)] + [("%s_%d" % (name, p), p, 8) for p in lists["kSplashScalePercents"]]
            for picture, percent, bits in pictures:
                variants.add(picture)
                if (RT_RCDATA, picture) not in found:
                    fail("packed picture %s is missing" % picture)
                    continue
                dib = unpacked_picture(picture, found[(RT_RCDATA, picture)][1])
                if dib is not None:
                    check_bitmap(picture, dib, scaled(numbers["kSplashWidth"], percent),
                                 scaled(numbers["kSplashHeight"], percent), bits=bits)
        else:
            size = numbers["kGlyphSize"]
            pictures = [(name, size, 24)] + [("%s_%d" % (name, s), s, 8) for s in lists["kGlyphScaledSizes"]]
            for picture, side, bits in pictures:
                variants.add(picture)
                if (RT_BITMAP, picture) not in found:
                    fail("bitmap %s is missing" % picture)
                else:
                    check_bitmap(picture, found[(RT_BITMAP, picture)][1], side, side, transparent, bits=bits)
    for kind, name in found:
        if kind in (RT_BITMAP, RT_RCDATA) and name not in variants:
            fail("picture %s is in the program but not in %s" % (name, header))
        if kind == RT_GROUP_ICON and name not in names.values():
            fail("icon %s is in the program but not in %s" % (name, header))

    for (kind, name), (language, _) in found.items():
        if kind in (RT_BITMAP, RT_RCDATA, RT_GROUP_ICON, RT_MANIFEST) and language != 0:
            fail("resource %s of type %d has language 0x%04X, not neutral: a Windows in another "
                 "language might not find it" % (name, kind, language))

    if (RT_VERSION, 1) not in found:
        fail("the version record is missing")
    else:
        check_version(found[(RT_VERSION, 1)][1], version)
    if (RT_MANIFEST, 1) not in found:
        fail("the manifest (type 24, id 1) is missing")
    else:
        check_manifest(found[(RT_MANIFEST, 1)][1])

    for message in failures:
        print("check_resources: " + message)
    if failures:
        return 1
    print("check_resources: %d named pictures with their %d bitmaps, the version record and the manifest are in %s"
          % (len(names), len(variants), exe))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
