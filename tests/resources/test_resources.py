#!/usr/bin/env python3
"""Checks the pictures, the icon and the compiled resources of Vardelune.exe.

Debian's Python with Pillow, which reads the GIFs. windres (the WINDRES
environment variable, else x86_64-w64-mingw32-windres from the PATH) turns the
executable that VARDELUNE_EXE names (BuiltProgram, skipped without it) into a
.res file, which one reader checks.
"""
import io
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

from PIL import Image

# The generator needs Debian's Python with Pillow, whatever runs these checks.
GENERATOR_PYTHON = os.environ.get("VARDELUNE_GENERATOR_PYTHON", "/usr/bin/python3")
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")

# ------------------------------------------------------------------ readers


def read(name):
    with open(os.path.join(RESOURCES, name), "rb") as f:
        return f.read()


def read_gif(data):
    """(width, height, frame count, rows of RGB tuples, None where transparent)."""
    assert data[:6] in (b"GIF87a", b"GIF89a")
    image = Image.open(io.BytesIO(data))
    assert image.mode == "P" and image.info.get("interlace", 0) == 0
    transparent = image.info.get("transparency")
    palette = image.getpalette()
    pixels = [None if i == transparent else tuple(palette[3 * i:3 * i + 3]) for i in image.getdata()]
    width, height = image.size
    rows = [pixels[y * width:(y + 1) * width] for y in range(height)]
    return width, height, getattr(image, "n_frames", 1), rows


def read_icon_directory(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1)
    entries = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append({"size": w or 256, "height": h or 256, "colours": colours, "planes": planes,
                        "bits": bits, "data": data[offset:offset + size]})
    return entries


def read_dib_icon(image):
    """(bits per pixel, palette, colour rows, mask rows) of one icon image, top row first."""
    header, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", image, 0)
    assert header == 40 and compression == 0 and planes == 1 and height == 2 * width, "not a DIB with a mask"
    palette_size = struct.unpack_from("<I", image, 32)[0] or (1 << bits if bits <= 8 else 0)
    palette = [tuple(image[40 + 4 * i:40 + 4 * i + 3][::-1]) for i in range(palette_size)]
    position = 40 + 4 * palette_size
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    colour, mask = [], []
    for y in range(width):
        row = image[position + y * stride:position + (y + 1) * stride]
        if bits == 32:
            colour.append([tuple(row[4 * x:4 * x + 4]) for x in range(width)])
        elif bits == 8:
            colour.append(list(row[:width]))
        else:
            colour.append([(row[x // 2] >> (4 if x % 2 == 0 else 0)) & 15 for x in range(width)])
    position += width * stride
    for y in range(width):
        row = image[position + y * mask_stride:position + (y + 1) * mask_stride]
        mask.append([(row[x // 8] >> (7 - x % 8)) & 1 for x in range(width)])
    assert len(image) == position + width * mask_stride
    return bits, palette, colour[::-1], mask[::-1]


def read_res(data):
    """Entries of a 32-bit .res file: {(type, name): payload}."""
    def name_at(position):
        if struct.unpack_from("<H", data, position)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, position + 2)[0], position + 4
        end = position
        while struct.unpack_from("<H", data, end)[0]:
            end += 2
        return data[position:end].decode("utf-16-le"), end + 2

    entries, position = {}, 0
    while position < len(data):
        data_size, header_size = struct.unpack_from("<II", data, position)
        kind, after = name_at(position + 8)
        name, _ = name_at(after)
        payload = data[position + header_size:position + header_size + data_size]
        if data_size:
            entries[(kind, name)] = payload
        position += header_size + data_size
        position += -position % 4
    return entries


def read_version_node(data, position=0):
    """One node of a VS_VERSIONINFO tree: (key, value bytes, children)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, position)
    end = data.index(b"\0\0", position + 6)
    while (end - position - 6) % 2:
        end = data.index(b"\0\0", end + 1)
    key = data[position + 6:end].decode("utf-16-le")
    value_start = end + 2
    value_start += -value_start % 4
    value_bytes = value_length * (2 if is_text else 1)
    value = data[value_start:value_start + value_bytes]
    child = value_start + value_bytes
    children = []
    while True:
        child += -child % 4
        if child >= position + length:
            break
        node = read_version_node(data, child)
        children.append(node)
        child += struct.unpack_from("<H", data, child)[0]
    return key, value, children


# -------------------------------------------------------------------- tests

BUTTON_PAIRS = {
    # plain, highlighted, width, drawn for the main window
    "ouvrir": ("ouvrir_plain.gif", "ouvrir_highlighted.gif", 71, True),
    "reparer": ("reparer_plain.gif", "reparer_highlighted.gif", 71, True),
    "relaunch": ("relaunch_plain.gif", "relaunch_highlighted.gif", 353, False),
    "back": ("back_plain.gif", "back_highlighted.gif", 353, False),
    "recommencer": ("recommencer_plain.gif", "recommencer_highlighted.gif", 121, False),
}
WHITE = (255, 255, 255)


def brightness(colour):
    return sum(colour) / 3


class Pictures(unittest.TestCase):
    def test_copies_for_the_second_ouvrir_pair_are_identical(self):
        self.assertEqual(read("ouvrir_plain_copy.gif"), read("ouvrir_plain.gif"))
        self.assertEqual(read("ouvrir_highlighted_copy.gif"), read("ouvrir_highlighted.gif"))

    def test_each_pair_is_opaque_at_its_button_size_with_one_centred_dark_label_that_the_rollover_keeps(self):
        for key, (plain, highlighted, width, main_window) in BUTTON_PAIRS.items():
            with self.subTest(key):
                pictures = [read_gif(read(name)) for name in (plain, highlighted)]
                for w, h, frames, rows in pictures:
                    self.assertEqual((w, h, frames), (width, 23, 1))
                    self.assertFalse(any(p is None for row in rows for p in row), "transparent pixel")
                rows, rows_lit = pictures[0][3], pictures[1][3]
                self.assertNotEqual(rows[2], rows_lit[2], "the glow ring does not show")
                middle = lambda rows: [row[4:width - 4] for row in rows[5:18]]
                self.assertEqual(middle(rows), middle(rows_lit), "label or face moves under the pointer")
                self.assertEqual(rows[0], rows_lit[0], "outer frame differs")
                ink = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row)
                       if 3 <= x < width - 3 and 3 <= y < 20 and brightness(p) < 150]
                self.assertTrue(ink, "no label")
                ys, xs = {y for _, y in ink}, [x for x, _ in ink]
                self.assertTrue(min(ys) >= 6 and max(ys) <= 16, sorted(ys))
                self.assertLessEqual(abs(min(xs) - (width - 1 - max(xs))), 2, "label not centred")
                darkest = min(brightness(p) for row in rows for p in row)
                # Dark grey on the main window's buttons, black on the other windows'.
                if main_window:
                    self.assertTrue(80 <= darkest <= 110, darkest)
                else:
                    self.assertLess(darkest, 20)

    def test_rings_and_face_bands_have_their_colours(self):
        hexes = lambda text: tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))
        face = {3: "#e0f0f8", 4: "#e0f0f8", 5: "#e0f0f8", 6: "#d8f0f8", 10: "#d8f0f8", 11: "#c8e8f8",
                12: "#b8e0f8", 16: "#b8e0f8", 17: "#b0e0f8", 19: "#b0e0f8"}
        for key, (plain, highlighted, width, _) in BUTTON_PAIRS.items():
            for name, lit in ((plain, False), (highlighted, True)):
                rows = read_gif(read(name))[3]
                expected = {}  # (x, y) -> colour, on both sides of each ring
                for x in range(width):
                    expected[(x, 0)] = expected[(x, 22)] = "#ecf6f9"
                for y in range(23):
                    expected[(0, y)] = expected[(width - 1, y)] = "#ecf6f9"
                for x in range(3, width - 3):
                    expected[(x, 1)] = expected[(x, 21)] = "#4878a0"
                for y in range(3, 20):
                    expected[(1, y)] = expected[(width - 2, y)] = "#4878a0"
                for x in (5, width - 6):  # beside the label, inside the rings
                    if lit:
                        expected[(x, 2)] = "#28d0f8"
                        expected[(x, 4)] = "#d0f0f8"
                        expected[(x, 18)] = "#a8e0f8"
                        for y in range(5, 18):
                            expected[(x, y)] = face[max(k for k in face if k <= y)]
                    else:
                        expected[(x, 2)] = expected[(x, 20)] = "#f0f8f8"
                        for y in range(3, 20):
                            expected[(x, y)] = face[max(k for k in face if k <= y)]
                for (x, y), colour in sorted(expected.items()):
                    with self.subTest(name, x=x, y=y):
                        self.assertEqual(rows[y][x], hexes(colour))
                if lit:
                    top, bottom = rows[3][width // 2 - 30 if width > 100 else 4], rows[19][width // 2]
                    self.assertTrue(0x70 <= top[0] <= 0x80 and top[1:] in ((0xe0, 0xf8),), (name, top))
                    self.assertEqual(bottom, hexes("#58d8f8"), name)

    def test_generator_draws_the_committed_pictures_again_bit_for_bit(self):
        generator = os.path.join(RESOURCES, "..", "tools", "make_resources.py")
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([GENERATOR_PYTHON, generator, folder], check=True)
            drawn = sorted(n for n in os.listdir(folder) if n.endswith((".gif", ".ico")))
            self.assertEqual(len(drawn), 14)
            for name in drawn:
                with self.subTest(name), open(os.path.join(folder, name), "rb") as f:
                    self.assertEqual(f.read(), read(name), "run tools/make_resources.py and commit")

    def test_banner_is_a_title_band_over_a_white_panel_with_a_transparent_foot(self):
        w, h, frames, rows = read_gif(read("banner.gif"))
        self.assertEqual((w, h, frames), (501, 463, 1))
        self.assertTrue(all(p is None for row in rows[460:] for p in row), "foot not transparent")
        self.assertFalse(any(p is None for row in rows[:460] for p in row), "hole above the foot")
        self.assertTrue(all(p == WHITE for row in rows[41:459] for p in row), "panel not plain white")
        self.assertEqual(len(set(rows[459])), 1, "edge line not one colour")
        self.assertTrue(120 < brightness(rows[459][0]) < 220, "edge line not mid-grey")
        top = rows[0][0]
        self.assertTrue(top[2] > top[1] > top[0] and top[2] > 100, f"not deep blue at the top: {top}")
        self.assertTrue(brightness(rows[40][0]) > 245, "band does not fade into white")
        title = [(x, y) for y, row in enumerate(rows[:28]) for x, p in enumerate(row)
                 if brightness(p) > brightness(row[0]) + 40]
        self.assertEqual(min(x for x, _ in title), 46, "title does not start at x = 46")
        self.assertLess(max(x for x, _ in title), 250)
        capital = {y for x, y in title if x < 60}      # the V
        self.assertEqual(max(capital) - min(capital) + 1, 15, "capitals not 15 pixels high")


STANDARD_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
ICON_ORDER = [(48, 4), (32, 4), (24, 4), (16, 4), (48, 8), (32, 8), (24, 8), (16, 8),
              (128, 32), (48, 32), (32, 32), (24, 32), (16, 32)]


class ProgramIcon(unittest.TestCase):
    def test_thirteen_masked_bitmaps_in_order_each_a_grey_figure_on_a_white_panel_between_clear_strips(self):
        entries = read_icon_directory(read("Vardelune.ico"))
        self.assertEqual([(e["size"], e["bits"]) for e in entries], ICON_ORDER)
        for e in entries:
            with self.subTest(size=e["size"], bits=e["bits"]):
                size = e["size"]
                self.assertEqual(e["height"], size)
                bits, palette, colour, mask = read_dib_icon(e["data"])
                self.assertEqual(bits, e["bits"])
                if bits == 4:
                    self.assertEqual(palette, STANDARD_16)
                    self.assertEqual(e["colours"], 16)
                rgb = lambda p: p[2::-1] if bits == 32 else palette[p]
                for y in range(size):
                    self.assertEqual((mask[y][0], mask[y][size - 1]), (1, 1), f"side strip opaque on row {y}")
                    self.assertEqual(mask[y][size // 8 + 1], 0, f"panel transparent on row {y}")
                self.assertEqual(rgb(colour[0][size // 8 + 1]), WHITE, "panel not white")
                if bits == 32:
                    for y in range(size):
                        for x in range(size):
                            self.assertEqual(colour[y][x][3] == 0, mask[y][x] == 1, "alpha and mask disagree")
                greys = [c for c in (rgb(colour[y][size // 2]) for y in range(size)) if c != WHITE]
                self.assertGreater(len(greys), size // 2, "no figure down the middle")
                self.assertTrue(all(max(c) - min(c) <= 24 for c in greys), "figure not grey")


def find_windres():
    return os.environ.get("WINDRES") or shutil.which("x86_64-w64-mingw32-windres")


def compiled_resources(source):
    """The resources of an executable, as windres writes them into a .res file."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "Vardelune.res")
        subprocess.run([find_windres(), "-O", "res", "-i", source, "-o", out], check=True)
        with open(out, "rb") as f:
            return read_res(f.read())


@unittest.skipUnless(find_windres() and os.environ.get("VARDELUNE_EXE"), "windres not found or VARDELUNE_EXE not set")
class BuiltProgram(unittest.TestCase):
    """What the executable carries, read back from it."""

    @classmethod
    def setUpClass(cls):
        cls.res = compiled_resources(os.environ["VARDELUNE_EXE"])

    def test_icon_group_one_holds_the_icon_file_images_in_order(self):
        group = self.res[(14, 1)]      # RT_GROUP_ICON
        _, _, count = struct.unpack_from("<HHH", group, 0)
        entries = read_icon_directory(read("Vardelune.ico"))
        self.assertEqual(count, len(entries))
        for i, entry in enumerate(entries):
            w, _, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            self.assertEqual((w, bits, size), (entry["size"], entry["bits"], len(entry["data"])))
            self.assertEqual(self.res[(3, icon_id)], entry["data"])   # RT_ICON
        self.assertEqual([k for k in self.res if k[0] == 14], [(14, 1)], "more than one icon")

    def test_each_picture_id_carries_the_file_of_its_name(self):
        ids = dict(re.findall(r"#define IDG_(\w+) (\d+)", read("ResourceIds.h").decode()))
        self.assertEqual(len(ids), 13)
        for name, number in ids.items():
            with self.subTest(name):
                self.assertEqual(self.res[("GIF", int(number))], read(name.lower() + ".gif"))
        self.assertEqual(len([k for k in self.res if k[0] == "GIF"]), 13)

    def test_version_block(self):
        data = self.res[(16, 1)]    # RT_VERSION
        key, fixed, children = read_version_node(data)
        self.assertEqual(key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls), (0x10000, 0, 0x10000, 0))
        blocks = {k: c for k, _, c in children}
        tables = blocks["StringFileInfo"]
        self.assertEqual([t[0] for t in tables], ["040904B0"])
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in tables[0][2]}
        self.assertEqual(strings, {
            "CompanyName": "Vardelune", "ProductName": "Vardelune", "InternalName": "Vardelune",
            "OriginalFilename": "Vardelune.exe", "FileVersion": "1.00", "ProductVersion": "1.00"})
        translation = blocks["VarFileInfo"][0]
        self.assertEqual(translation[0], "Translation")
        self.assertEqual(struct.unpack("<HH", translation[1]), (0x0409, 1200))

    def test_manifest_asks_for_no_elevation_and_lays_out_at_the_systems_resolution(self):
        manifest = ET.fromstring(self.res[(24, 1)])    # RT_MANIFEST
        levels = [e.get("level") for e in manifest.iter("{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel")]
        self.assertEqual(levels, ["asInvoker"])
        aware = manifest.iter("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
        self.assertEqual([e.text for e in aware], ["true"])


if __name__ == "__main__":
    unittest.main()
