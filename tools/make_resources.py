#!/usr/bin/python3
"""Draws the pictures and the program icon under resources/ from code.

The files it writes are committed; run it again only to change a picture.
Needs Debian's python3-pil and fonts-dejavu-core (use /usr/bin/python3).
    /usr/bin/python3 tools/make_resources.py [output folder, default resources/]
"""
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_REGULAR = os.path.join(FONT_DIR, "DejaVuSans.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")


def rgb(hex_text):
    return tuple(int(hex_text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    """Colour a moved towards b by t in [0, 1], rounded per channel."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


# ---------------------------------------------------------------- GIF output

def lzw_encode(indices, min_code_size):
    """GIF variable-width LZW; the table is reset when it reaches 4096 codes."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0
    code_size = min_code_size + 1

    def emit(code):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += code_size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh_table():
        return {(i,): i for i in range(clear)}

    table, next_code = fresh_table(), end + 1
    emit(clear)
    prefix = ()
    for index in indices:
        candidate = prefix + (index,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code == 4096:
            emit(clear)
            table, next_code, code_size = fresh_table(), end + 1, min_code_size + 1
        else:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        prefix = (index,)
    if prefix:
        emit(table[prefix])
    emit(end)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def write_gif(path, width, rows):
    """Single-frame GIF89a; a pixel of None is the transparent colour."""
    colours = sorted({p for row in rows for p in row if p is not None})
    transparent = any(p is None for row in rows for p in row)
    count = len(colours) + (1 if transparent else 0)
    if count > 256:
        raise ValueError(f"{path}: {count} colours, a GIF holds 256")
    bits = max(1, (count - 1).bit_length())
    palette = colours + [(0, 0, 0)] * ((1 << bits) - len(colours))
    index_of = {c: i for i, c in enumerate(colours)}
    transparent_index = len(colours)
    indices = [transparent_index if p is None else index_of[p] for row in rows for p in row]

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, len(rows), 0x80 | (bits - 1), 0, 0)
    for colour in palette:
        data += bytes(colour)
    if transparent:
        # Graphic control extension: no disposal, no delay, transparency on.
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent_index, 0)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, len(rows), 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    stream = lzw_encode(indices, min_code_size)
    for start in range(0, len(stream), 255):
        chunk = stream[start:start + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3B"
    with open(path, "wb") as f:
        f.write(data)


# ----------------------------------------------------------- button pictures

BUTTON_HEIGHT = 23
FRAME = rgb("#ecf6f9")
BORDER = rgb("#4878a0")
CORNER_STEP = {False: rgb("#7098b8"), True: rgb("#4090b8")}
INNER_HIGHLIGHT = rgb("#f0f8f8")
GLOW = rgb("#28d0f8")
SOFT_RING_TOP = rgb("#80e0f8")
SOFT_RING_LOW = rgb("#70e0f8")
SOFT_RING_BOTTOM = rgb("#58d8f8")
FACE_BANDS = [(3, 5, rgb("#e0f0f8")), (6, 10, rgb("#d8f0f8")), (11, 11, rgb("#c8e8f8")),
              (12, 16, rgb("#b8e0f8")), (17, 19, rgb("#b0e0f8"))]
HIGHLIGHT_FACE_TOP = rgb("#d0f0f8")
HIGHLIGHT_FACE_BOTTOM = rgb("#a8e0f8")
LABEL_MAIN = rgb("#646464")
LABEL_OTHER = rgb("#000000")
LABEL_BASELINE = 15      # capitals on rows 7 to 14
LABEL_FONT_SIZE = 11     # DejaVu Sans at 11 px has 8-pixel capitals
LABEL_LEVELS = 16        # anti-aliasing steps kept, to stay within a GIF palette


def face_colour(row):
    for first, last, colour in FACE_BANDS:
        if first <= row <= last:
            return colour
    raise ValueError(row)


def button_background(width, highlighted):
    h = BUTTON_HEIGHT
    px = [[FRAME] * width for _ in range(h)]

    def put(x, y, colour):
        # Every ring is mirrored at the right and at the bottom.
        for xx in {x, width - 1 - x}:
            for yy in {y, h - 1 - y}:
                px[yy][xx] = colour

    for y in range(3, h - 3):
        for x in range(3, width - 3):
            px[y][x] = face_colour(y)
    for x in range(3, width - 3):
        put(x, 1, BORDER)
    for y in range(3, h - 3):
        put(1, y, BORDER)
    put(2, 2, CORNER_STEP[highlighted])
    pale = mix(BORDER, FRAME, 0.65)
    put(2, 1, pale)
    put(1, 2, pale)

    if not highlighted:
        for x in range(3, width - 3):
            put(x, 2, INNER_HIGHLIGHT)
        for y in range(3, h - 3):
            put(2, y, INNER_HIGHLIGHT)
        return px

    for x in range(3, width - 3):
        put(x, 2, GLOW)
    for y in range(3, h - 3):
        put(2, y, GLOW)
    # Soft inner ring: lighter at the top, fading down the sides, deeper at the bottom.
    for y in range(3, h - 3):
        side = mix(SOFT_RING_TOP, SOFT_RING_LOW, (y - 3) / (h - 7))
        px[y][3] = px[y][width - 4] = side
    for x in range(3, width - 3):
        px[3][x] = SOFT_RING_TOP
        px[h - 4][x] = SOFT_RING_BOTTOM
    for x in range(4, width - 4):
        px[4][x] = HIGHLIGHT_FACE_TOP
        px[h - 5][x] = HIGHLIGHT_FACE_BOTTOM
    return px


def text_coverage(width, height, text, font, left, baseline, levels):
    mask = Image.new("L", (width, height), 0)
    ImageDraw.Draw(mask).text((left, baseline), text, font=font, fill=255, anchor="ls")
    step = 255 / (levels - 1)
    return [[round(round(mask.getpixel((x, y)) / step) * step) / 255 for x in range(width)]
            for y in range(height)]


def draw_text(px, text, font, colour, left, baseline, levels):
    coverage = text_coverage(len(px[0]), len(px), text, font, left, baseline, levels)
    for y, row in enumerate(coverage):
        for x, c in enumerate(row):
            if c:
                px[y][x] = mix(px[y][x], colour, c)


def button(width, label, highlighted, main_window):
    px = button_background(width, highlighted)
    font = ImageFont.truetype(FONT_BOLD if main_window else FONT_REGULAR, LABEL_FONT_SIZE)
    left, _, right, _ = font.getbbox(label, anchor="ls")
    draw_text(px, label, font, LABEL_MAIN if main_window else LABEL_OTHER,
              (width - (right - left)) // 2 - left, LABEL_BASELINE, LABEL_LEVELS)
    return px


# ------------------------------------------------------------- title banner

BANNER_WIDTH, BANNER_HEIGHT = 501, 463
BANNER_TOP = rgb("#094782")
BANNER_MID = rgb("#2477a2")
BANNER_MID_ROW = 25
FADE_FIRST, FADE_LAST = 28, 40      # the banner's lower edge fades into white
STREAK = rgb("#c0f4ff")
PANEL_WHITE = (255, 255, 255)
PANEL_EDGE = rgb("#a7a6aa")
PANEL_EDGE_ROW = 459
TITLE = "Vardelune"
TITLE_LEFT = 46
TITLE_BASELINE = 21                 # capitals on rows 6 to 20
TITLE_FONT_SIZE = 20                # DejaVu Sans Bold at 20 px has 15-pixel capitals
TITLE_LEVELS = 8                    # fewer steps than the buttons: the gradient takes colours


def streak_strength(x, y):
    """Faint diagonal streaks right of the title, brighter at their centre."""
    bands = ((215, 9, 0.10), (250, 4, 0.07), (330, 12, 0.10), (372, 5, 0.06), (455, 7, 0.08))
    u = x + 1.6 * y          # position across the slant
    strength = 0.0
    for centre, half_width, peak in bands:
        d = abs(u - centre)
        if d < half_width:
            strength = max(strength, peak * (1 - d / half_width))
    return round(strength * 20) / 20      # three levels, to stay within the palette


def banner():
    rows = []
    for y in range(BANNER_HEIGHT):
        if y <= FADE_LAST:
            base = mix(BANNER_TOP, BANNER_MID, min(y, BANNER_MID_ROW) / BANNER_MID_ROW)
            row = [mix(base, STREAK, streak_strength(x, y)) for x in range(BANNER_WIDTH)]
            if y >= FADE_FIRST:
                t = ((y - FADE_FIRST + 1) / (FADE_LAST - FADE_FIRST + 1)) ** 0.8
                row = [mix(c, PANEL_WHITE, t) for c in row]
        elif y < PANEL_EDGE_ROW:
            row = [PANEL_WHITE] * BANNER_WIDTH
        elif y == PANEL_EDGE_ROW:
            row = [PANEL_EDGE] * BANNER_WIDTH
        else:
            row = [None] * BANNER_WIDTH
        rows.append(row)
    font = ImageFont.truetype(FONT_BOLD, TITLE_FONT_SIZE)
    ink_left = font.getbbox(TITLE, anchor="ls")[0]
    draw_text(rows, TITLE, font, PANEL_WHITE, TITLE_LEFT - ink_left, TITLE_BASELINE, TITLE_LEVELS)
    return rows


# --------------------------------------------------------------- program icon

# (size, bits per pixel) in the order the icon file holds them.
ICON_IMAGES = [(48, 4), (32, 4), (24, 4), (16, 4), (48, 8), (32, 8), (24, 8), (16, 8),
               (128, 32), (48, 32), (32, 32), (24, 32), (16, 32)]
STANDARD_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
SUPERSAMPLE = 8


def vertical_gradient(size, top, bottom):
    strip = Image.new("RGBA", (1, size))
    for y in range(size):
        strip.putpixel((0, y), mix(top, bottom, y / max(1, size - 1)) + (255,))
    return strip.resize((size, size))


def shape_mask(size, draw_shape):
    mask = Image.new("L", (size, size), 0)
    draw_shape(ImageDraw.Draw(mask), size)
    return mask


def head_shape(d, s):
    d.ellipse((0.355 * s, 0.105 * s, 0.645 * s, 0.395 * s), fill=255)


def body_shape(d, s):
    # Bell: rounded shoulders that flare out towards a rounded foot.
    points = []
    for i in range(41):
        t = i / 40
        half = 0.10 + 0.185 * (t ** 0.55)
        points.append((0.5 + half, 0.50 + 0.40 * t))
    outline = [(x * s, y * s) for x, y in points]
    outline += [((1 - x) * s, y * s) for x, y in reversed(points)]
    d.polygon(outline, fill=255)
    d.ellipse((0.29 * s, 0.435 * s, 0.71 * s, 0.66 * s), fill=255)
    d.rounded_rectangle((0.215 * s, 0.80 * s, 0.785 * s, 0.925 * s), radius=0.05 * s, fill=255)


def glossy_part(s, draw_shape, top, bottom, shine_box):
    """A light-grey glass shape with a soft white shine on its upper part."""
    mask = shape_mask(s, draw_shape)
    layer = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    # A darker grey rim, about one pixel of the final size (less on the small
    # sizes, where a whole pixel swallows the figure), gives the light figure
    # an edge on the white panel.
    rim = mask
    for _ in range(max(SUPERSAMPLE * 3 // 4, round(s / 64))):
        rim = rim.filter(ImageFilter.MaxFilter(3))
    layer.paste(rgb("#8c939c") + (255,), (0, 0), rim)
    layer.paste(vertical_gradient(s, top, bottom), (0, 0), mask)
    shine = shape_mask(s, lambda d, size: d.ellipse([v * size for v in shine_box], fill=255))
    shine = Image.composite(shine, Image.new("L", (s, s), 0), mask).filter(
        ImageFilter.GaussianBlur(s / 60))
    white = Image.new("RGBA", (s, s), (255, 255, 255, 255))
    layer.paste(white, (0, 0), shine.point(lambda v: v * 0.85))
    return layer


def icon_picture(size):
    """RGBA picture of the icon at one size: a glass figure on a white panel."""
    s = size * SUPERSAMPLE
    panel_side = max(1, round(size * 0.125))
    picture = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    ImageDraw.Draw(picture).rectangle(
        (panel_side * SUPERSAMPLE, 0, (size - panel_side) * SUPERSAMPLE - 1, s - 1),
        fill=(255, 255, 255, 255))
    body = glossy_part(s, body_shape, rgb("#e4e7eb"), rgb("#b4bac2"), (0.31, 0.46, 0.62, 0.62))
    head = glossy_part(s, head_shape, rgb("#eef0f3"), rgb("#bcc2c9"), (0.40, 0.13, 0.56, 0.25))
    picture.alpha_composite(body)
    picture.alpha_composite(head)
    return picture.resize((size, size), Image.BOX)


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def standard_grey(colour):
    """Index of white, light grey, dark grey or black in the standard palette.

    The figure is all greys; banding by brightness keeps its light-grey fill
    apart from the white panel, which plain nearest-colour matching does not.
    """
    r, g, b = colour
    brightness = 0.299 * r + 0.587 * g + 0.114 * b
    for threshold, index in ((246, 15), (170, 7), (90, 8)):
        if brightness >= threshold:
            return index
    return 0


def dib_rows(size, bits, indices_or_bgra):
    """Bottom-up rows, each padded to four bytes."""
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        if bits == 32:
            for x in range(size):
                row += bytes(indices_or_bgra[y][x])
        elif bits == 8:
            row += bytes(indices_or_bgra[y])
        elif bits == 4:
            values = indices_or_bgra[y]
            for x in range(0, size, 2):
                row.append((values[x] << 4) | (values[x + 1] if x + 1 < size else 0))
        else:   # 1: the AND mask
            values = indices_or_bgra[y]
            for x in range(0, size, 8):
                byte = 0
                for bit in range(8):
                    if x + bit < size and values[x + bit]:
                        byte |= 0x80 >> bit
                row.append(byte)
        row += b"\0" * (-len(row) % 4)
        out += row
    return bytes(out)


def icon_image(size, bits, picture):
    """One BITMAPINFOHEADER image of the icon file: header, palette, colour bits, mask."""
    pixels = [[picture.getpixel((x, y)) for x in range(size)] for y in range(size)]
    mask = [[1 if p[3] < 128 else 0 for p in row] for row in pixels]
    palette = []
    if bits == 32:
        colour = [[(p[2], p[1], p[0], p[3]) for p in row] for row in pixels]
    else:
        if bits == 4:
            palette = STANDARD_16
        else:
            opaque = Image.new("RGB", (size, size), (255, 255, 255))
            opaque.paste(picture.convert("RGB"), (0, 0), picture)
            palette = opaque.quantize(256, method=Image.Quantize.MEDIANCUT).getpalette()[:768]
            palette = [tuple(palette[i:i + 3]) for i in range(0, len(palette), 3)]
            palette += [(0, 0, 0)] * (256 - len(palette))
        match = standard_grey if bits == 4 else (lambda c: nearest(c, palette))
        colour = [[0 if m else match(p[:3]) for p, m in zip(row, mrow)]
                  for row, mrow in zip(pixels, mask)]
    body = dib_rows(size, bits, colour)
    and_mask = dib_rows(size, 1, mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(body) + len(and_mask), 0, 0, len(palette), 0)
    quads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + quads + body + and_mask


def write_icon(path):
    pictures = {}
    images = []
    for size, bits in ICON_IMAGES:
        if size not in pictures:
            pictures[size] = icon_picture(size)
        images.append((size, bits, icon_image(size, bits, pictures[size])))
    offset = 6 + 16 * len(images)
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for size, bits, image in images:
        colour_count = 16 if bits == 4 else 0
        data += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(image), offset)
        offset += len(image)
    for _, _, image in images:
        data += image
    with open(path, "wb") as f:
        f.write(data)


# --------------------------------------------------------------------- main

PICTURES = [
    # file name, width, label, highlighted, drawn for the main window
    ("ouvrir_plain.gif", 71, "Ouvrir", False, True),
    ("ouvrir_highlighted.gif", 71, "Ouvrir", True, True),
    ("reparer_plain.gif", 71, "Réparer", False, True),
    ("reparer_highlighted.gif", 71, "Réparer", True, True),
    ("relaunch_plain.gif", 353, "Quitter et lancer Windows Live Messenger", False, False),
    ("relaunch_highlighted.gif", 353, "Quitter et lancer Windows Live Messenger", True, False),
    ("back_plain.gif", 353, "OK (fermer seulement la fenetre des résultats)", False, False),
    ("back_highlighted.gif", 353, "OK (fermer seulement la fenetre des résultats)", True, False),
    ("recommencer_plain.gif", 121, "Recommencer", False, False),
    ("recommencer_highlighted.gif", 121, "Recommencer", True, False),
]
# The second pair of "Ouvrir" buttons shows byte-identical copies of the first.
COPIES = [("ouvrir_plain.gif", "ouvrir_plain_copy.gif"),
          ("ouvrir_highlighted.gif", "ouvrir_highlighted_copy.gif")]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    write_gif(os.path.join(out, "banner.gif"), BANNER_WIDTH, banner())
    for name, width, label, highlighted, main_window in PICTURES:
        write_gif(os.path.join(out, name), width, button(width, label, highlighted, main_window))
    for original, copy in COPIES:
        with open(os.path.join(out, original), "rb") as src, open(os.path.join(out, copy), "wb") as dst:
            dst.write(src.read())
    write_icon(os.path.join(out, "Vardelune.ico"))


if __name__ == "__main__":
    main()
