#!/usr/bin/env python3
"""Draws the setup program's pictures and writes them into ../resources:

  logo.png            120 x 260 side-panel picture for the wizard pages
                      (8-bit indexed, 256-entry palette, one IDAT, no
                      ancillary chunks, so the simplest PNG reader copes)
  openfolder.bmp      16 x 16, 16 colours: open folder for the folder tree
  closedfolder.bmp    16 x 16, 16 colours: closed folder
  fixeddrive.bmp      16 x 11, 16 colours: hard-disk drive
  removabledrive.bmp  16 x 10, 16 colours: removable drive
  setup.ico           application icon, 48, 32 and 16 pixel images

Everything is drawn from code, so every run writes the same bytes. Each file
is parsed again after writing and compared with what was meant to be stored.

Usage: python3 make_art.py
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "resources"))

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
from imaging import (PNG_SIG, Canvas, decode_png, inside_polygon,  # noqa: E402
                     median_cut, png_chunk, rgb, shift_pts, star_pts, vgrad)


# ---------------------------------------------------------------------------
# logo.png

LOGO_W, LOGO_H = 120, 260


def quill(c, nib, tip):
    """A white feather pen from the nib (bottom) to the tip (top)."""
    nx, ny = nib
    L = math.hypot(tip[0] - nx, tip[1] - ny)
    dx, dy = (tip[0] - nx) / L, (tip[1] - ny) / L
    px, py = -dy, dx                     # to the left of the pen, seen from the nib

    def at(u, v):
        return (nx + dx * u * L + px * v, ny + dy * u * L + py * v)

    def along(x, y):
        return ((x - nx) * dx + (y - ny) * dy) / L

    def left_w(u):
        t = (u - 0.26) / 0.74
        return 0 if t <= 0 else 13.0 * math.sin(math.pi * min(t, 1.0) ** 0.75) ** 0.8

    def right_w(u):
        t = (u - 0.30) / 0.70
        return 0 if t <= 0 else 8.0 * math.sin(math.pi * min(t, 1.0) ** 0.7) ** 0.9

    steps = 40
    vane = [at(0.26 + 0.74 * i / steps, left_w(0.26 + 0.74 * i / steps)) for i in range(steps + 1)]
    vane += [at(1.0 - 0.70 * i / steps, -right_w(1.0 - 0.70 * i / steps)) for i in range(steps + 1)]

    def feather_colour(x, y):
        u = min(1.0, max(0.0, along(x, y)))
        side = (x - nx) * px + (y - ny) * py
        lo, hi = (0xD6, 0xE4, 0xF7), (0xFF, 0xFF, 0xFF)
        t = 0.55 + 0.45 * u if side > 0 else 0.25 + 0.35 * u
        return (int(lo[0] + (hi[0] - lo[0]) * t), int(lo[1] + (hi[1] - lo[1]) * t),
                int(lo[2] + (hi[2] - lo[2]) * t), 255)

    c.polygon(shift_pts(vane, 3, 4), rgb(0x000000, 50))
    c.polygon(vane, feather_colour)
    # Barbs: fine strokes slanting back from the shaft towards the edges.
    c.clip = inside_polygon(vane)
    for i in range(14):
        u = 0.34 + i * 0.047
        for side, w in ((1, left_w(u)), (-1, -right_w(u))):
            x0, y0 = at(u, 0)
            x1, y1 = at(u - 0.06, w * 1.1)
            c.line(x0, y0, x1, y1, 0.6, rgb(0x8FA9D0, 110), caps=False)
    # Two splits in the vane, as real feathers have.
    for u, side in ((0.52, 1), (0.70, -1)):
        w = left_w(u) if side > 0 else right_w(u)
        x0, y0 = at(u, side * w * 0.35)
        x1, y1 = at(u - 0.05, side * (w + 2))
        c.line(x0, y0, x1, y1, 1.1, rgb(0x4C7CC0, 150), caps=False)
    c.clip = None
    # Shaft and nib.
    c.line(*at(0.10, 0), *at(0.97, 0), 1.4, rgb(0xB8C6DA))
    c.polygon([at(0.0, 0), at(0.13, 2.6), at(0.16, 2.2), at(0.16, -2.2), at(0.13, -2.6)], rgb(0x1B2B48))
    c.line(*at(0.02, 0), *at(0.10, 0), 0.5, rgb(0x8899B8), caps=False)
    c.circle(*at(0.09, 0), 0.9, rgb(0x8899B8))


def draw_logo():
    c = Canvas(LOGO_W, LOGO_H, ss=4)
    c.fill(vgrad(0, LOGO_H, rgb(0x3F86DB), rgb(0x0B1F4F)))
    # A broad, soft highlight over the top and faint arcs low down.
    # Stacked faint ellipses give the highlights soft edges.
    for i in range(6):
        c.ellipse(20, 10, 120 - i * 4, 110 - i * 4, rgb(0xFFFFFF, 4))
        c.ellipse(0, -20, 80 - i * 4, 70 - i * 4, rgb(0xFFFFFF, 3))
    for i in range(4):
        r = 150 + i * 14
        c.ring(150, 390, r, r, 1.0, rgb(0xBFD8FF, 34 - i * 6))
    # The page, with a folded corner and a soft shadow.
    page = [(20, 96), (76, 96), (94, 114), (94, 196), (20, 196)]
    for k, a in ((5, 30), (4, 40), (3, 50)):
        c.polygon(shift_pts(page, k, k + 1), rgb(0x000000, a))
    c.polygon(page, vgrad(96, 196, rgb(0xFFFFFF), rgb(0xDDE7F5)))
    c.polygon([(76, 96), (76, 114), (94, 114)], vgrad(96, 114, rgb(0xC5D4EA), rgb(0xA9BEDD)))
    c.line(76, 96, 76, 114, 0.7, rgb(0x9AB0D2), caps=False)
    c.line(76, 114, 94, 114, 0.7, rgb(0x9AB0D2), caps=False)
    # The letter Q.
    blue = vgrad(104, 152, rgb(0x2F6BC4), rgb(0x14387A))
    c.ring(50, 128, 20, 22, 6.5, blue)
    c.polygon([(52, 138), (58, 133), (75, 152), (69, 157)], blue)
    # Lines of "text", the last one still being written.
    for i, end in enumerate((86, 80, 84)):
        y = 163 + i * 7
        c.line(30, y, end, y, 1.8, rgb(0x9EB3D3))
    script = [(30 + t, 184 + 1.6 * math.sin(t * 0.55)) for t in range(0, 39)]
    c.polyline(script, 1.5, rgb(0x1C3F80))
    quill(c, (69, 183.5), (116, 36))
    # A few small sparkles in the open sky above the page.
    for x, y, r in ((22, 40, 4.0), (40, 66, 2.6), (14, 84, 2.0), (86, 18, 2.2)):
        c.polygon(star_pts(x, y, r, r * 0.28, 4), rgb(0xFFFFFF, 200))
    return c.pixels()


def indexed_png(w, h, palette, rows):
    """Palette PNG with just IHDR, PLTE, one IDAT and IEND. Rows are
    stored unfiltered, as is usual for palette images."""
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    return (PNG_SIG
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0))
            + png_chunk(b"PLTE", b"".join(bytes(p) for p in palette))
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def make_logo():
    pixels = draw_logo()
    hist = {}
    for row in pixels:
        for p in row:
            hist[p[:3]] = hist.get(p[:3], 0) + 1
    palette, index = median_cut(hist, 256)
    palette = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    rows = [bytes(index[p[:3]] for p in row) for row in pixels]
    data = indexed_png(LOGO_W, LOGO_H, palette, rows)

    info, kinds, back = decode_png(data)
    if kinds != ["IHDR", "PLTE", "IDAT", "IEND"]:
        raise ValueError("logo.png chunks are %r" % kinds)
    if (info["width"], info["height"], info["colour_type"], info["palette_entries"]) != (LOGO_W, LOGO_H, 3, 256):
        raise ValueError("logo.png header %r" % info)
    if back != rows:
        raise ValueError("logo.png pixels differ after decoding")
    worst = max(max(abs(a - b) for a, b in zip(p[:3], palette[index[p[:3]]])) for row in pixels for p in row)
    return data, "logo.png: %dx%d indexed, %d colours used of 256, chunks %s, largest colour error %d" % (
        LOGO_W, LOGO_H, len(set(index.values())), "/".join(kinds), worst)


# ---------------------------------------------------------------------------
# 16-colour bitmaps

# The standard 16-colour Windows palette, in its usual order.
VGA16 = [(0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
         (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
         (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
         (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF)]

# One letter per palette entry; "." is the white background. The folder
# list draws a picture with the colour of its bottom-left pixel as
# transparent, so that corner of each folder is background, not outline.
PIXEL_KEY = {"K": 0, "M": 1, "G": 2, "O": 3, "N": 4, "P": 5, "T": 6, "S": 7,
             "D": 8, "R": 9, "L": 10, "Y": 11, "B": 12, "F": 13, "C": 14, "W": 15, ".": 15}

CLOSED_FOLDER = """
................
................
................
.KKKKK..........
KYYYYYK.........
KYYYYYYKKKKKKKK.
KWWWWWWWWWWWWWWK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KWYYYYYYYYYYYYOK
KOOOOOOOOOOOOOOK
.KKKKKKKKKKKKKKK
"""

# The front flap hangs open towards the lower left, showing the darker
# inside of the back panel.
OPEN_FOLDER = """
................
................
................
.KKKKK..........
KYYYYYK.........
KYYYYYYKKKKKKK..
KYOOOOOOOOOOOYK.
KYOKKKKKKKKKKKKK
KYKWWWWWWWWWWWYK
KYKWYYYYYYYYYOK.
KKWYYYYYYYYYYOK.
KKWYYYYYYYYYOK..
KWYYYYYYYYYYOK..
KWYYYYYYYYYOK...
KOOOOOOOOOOOK...
.KKKKKKKKKKK....
"""

# Drives are drawn as slabs seen a little from above and to the right:
# light top face, grey front with a slot and a lamp, darker right side.
FIXED_DRIVE = """
................
...KKKKKKKKKKKKK
..KWWWWWWWWWWWDK
.KSSSSSSSSSSSDDK
KKKKKKKKKKKKKDDK
KWWWWWWWWWWWKDDK
KWSSSSSSSSSSKDDK
KWSDDDDDSSLSKDK.
KDDDDDDDDDDDKK..
KKKKKKKKKKKKK...
................
"""

REMOVABLE_DRIVE = """
................
..KKKKKKKKKKKKKK
.KWWWWWWWWWWWWDK
KKKKKKKKKKKKKKDK
KWWWWWWWWWWWWKDK
KWSKKKKKKKKKSKDK
KWSDDDDDDDDDSKDK
KWSSSSSSSSSDDKK.
KKKKKKKKKKKKKK..
................
"""


def parse_art(text, w, h):
    rows = [r for r in text.strip("\n").split("\n")]
    if len(rows) != h or any(len(r) != w for r in rows):
        raise ValueError("pixel map is not %dx%d" % (w, h))
    return [[PIXEL_KEY[ch] for ch in r] for r in rows]


def bmp4(rows):
    """Bottom-up 4-bit BMP with a BITMAPINFOHEADER and the 16-colour palette."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    bits = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, w, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < w else 0
            line.append((hi << 4) | lo)
        bits += line + bytes(stride - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    head = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return head + info + palette + bytes(bits)


def check_bmp4(data, rows):
    h, w = len(rows), len(rows[0])
    magic, size, _r1, _r2, offset = struct.unpack("<2sIHHI", data[:14])
    (hsize, bw, bh, planes, bpp, comp, image_size, _xr, _yr,
     used, _important) = struct.unpack("<IiiHHIIiiII", data[14:54])
    if magic != b"BM" or size != len(data) or hsize != 40:
        raise ValueError("bad BMP file header")
    if (bw, bh, planes, bpp, comp, used) != (w, h, 1, 4, 0, 16):
        raise ValueError("BMP header says %dx%d, %d bpp, %d colours" % (bw, bh, bpp, used))
    palette = [tuple(data[54 + i * 4:54 + i * 4 + 3][::-1]) for i in range(16)]
    if palette != VGA16 or offset != 54 + 64:
        raise ValueError("BMP palette is not the standard 16 colours")
    stride = ((w * 4 + 31) // 32) * 4
    if image_size != stride * h or len(data) != offset + stride * h:
        raise ValueError("BMP image size is wrong")
    for y in range(h):
        line = data[offset + (h - 1 - y) * stride:offset + (h - y) * stride]
        got = [(line[x // 2] >> (0 if x % 2 else 4)) & 15 for x in range(w)]
        if got != rows[y]:
            raise ValueError("BMP row %d differs after decoding" % y)
    return "%dx%d, 4 bpp, 16 palette entries, bottom-up" % (w, h)


# ---------------------------------------------------------------------------
# setup.ico

def draw_icon(size):
    c = Canvas(size, size, ss=4, unit=size / 100.0)
    small = size <= 16
    page = [(16, 4), (62, 4), (86, 28), (86, 96), (16, 96)]
    edge = 5.5 if small else (3.5 if size <= 32 else 2.6)
    outline = rgb(0x4A5F80)
    c.polygon(page, outline)
    inner = [(16 + edge, 4 + edge), (62 - edge * 0.4, 4 + edge), (86 - edge, 28 + edge * 0.4),
             (86 - edge, 96 - edge), (16 + edge, 96 - edge)]
    c.polygon(inner, vgrad(4, 96, rgb(0xFFFFFF), rgb(0xDCE6F4)))
    c.polygon([(60, 4), (60, 30), (86, 30)], outline)
    c.polygon([(60 + edge, 6 + edge), (60 + edge, 30 - edge), (84 - edge * 1.6, 30 - edge)],
              rgb(0xB9CBE6))
    if not small:
        for y, x1 in ((17, 50), (26, 44)):
            c.line(28, y, x1, y, 3.0 if size <= 32 else 2.4, rgb(0x9EB3D3))
    blue = vgrad(34, 90, rgb(0x2F6BC4), rgb(0x14387A))
    t = 13 if small else (10.5 if size <= 32 else 9)
    c.ring(48, 58, 22, 24, t, blue)
    # The tail crosses the bowl at the lower right and stops short of the
    # page edge, so the letter does not read as a magnifying glass.
    hw = max(4.5, t * 0.5) / math.sqrt(2)
    (sx, sy), (ex, ey) = (52, 62), (74, 85)
    c.polygon([(sx + hw, sy - hw), (ex + hw, ey - hw), (ex - hw, ey + hw), (sx - hw, sy + hw)], blue)
    return c.pixels()


def icon_image(pixels):
    """One 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA, AND mask."""
    h, w = len(pixels), len(pixels[0])
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a) if a else (0, 0, 0, 0))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x >> 3] |= 0x80 >> (x & 7)
        mask += line
    head = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return head + bytes(xor) + bytes(mask)


def make_icon(sizes=(48, 32, 16)):
    images = [(s, icon_image(draw_icon(s))) for s in sizes]
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, img in images:
        data += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for _s, img in images:
        data += img
    return bytes(data), images


def check_icon(data, images):
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if (reserved, kind, count) != (0, 1, len(images)):
        raise ValueError("bad icon directory")
    end = 6 + 16 * count
    for i, (s, img) in enumerate(images):
        w, h, colours, _r, planes, bpp, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        if (w, h, planes, bpp) != (s, s, 1, 32) or offset != end:
            raise ValueError("bad icon entry %d" % i)
        hsize, bw, bh, _p, bbpp, comp, _isz = struct.unpack("<IiiHHII", data[offset:offset + 24])
        if (hsize, bw, bh, bbpp, comp) != (40, s, 2 * s, 32, 0):
            raise ValueError("bad icon bitmap header %d" % i)
        if length != 40 + s * s * 4 + ((s + 31) // 32) * 4 * s or data[offset:offset + length] != img:
            raise ValueError("icon image %d has the wrong length" % i)
        end = offset + length
    if end != len(data):
        raise ValueError("icon file has stray bytes")
    return "%d images (%s), 32-bit with AND masks" % (count, ", ".join("%dx%d" % (s, s) for s, _ in images))


# ---------------------------------------------------------------------------

def main():
    os.makedirs(OUT, exist_ok=True)
    report, written = [], []

    def save(name, data, note):
        path = os.path.join(OUT, name)
        with open(path, "wb") as f:
            f.write(data)
        written.append((name, path))
        report.append("%-20s %6d bytes  %s" % (name, len(data), note))

    data, note = make_logo()
    save("logo.png", data, note)
    for name, art, w, h in (("openfolder.bmp", OPEN_FOLDER, 16, 16),
                            ("closedfolder.bmp", CLOSED_FOLDER, 16, 16),
                            ("fixeddrive.bmp", FIXED_DRIVE, 16, 11),
                            ("removabledrive.bmp", REMOVABLE_DRIVE, 16, 10)):
        rows = parse_art(art, w, h)
        data = bmp4(rows)
        save(name, data, check_bmp4(data, rows))
    data, images = make_icon()
    save("setup.ico", data, check_icon(data, images))

    # A second opinion from ImageMagick, when it is installed.
    identify = shutil.which("identify")
    if identify:
        # ImageMagick calls a bitmap with a BITMAPINFOHEADER "BMP3".
        expect = {"logo.png": ["PNG 120x260"], "openfolder.bmp": ["BMP3 16x16"],
                  "closedfolder.bmp": ["BMP3 16x16"], "fixeddrive.bmp": ["BMP3 16x11"],
                  "removabledrive.bmp": ["BMP3 16x10"],
                  "setup.ico": ["ICO 48x48", "ICO 32x32", "ICO 16x16"]}
        for name, path in written:
            out = subprocess.run([identify, "-regard-warnings", "-format", "%m %wx%h\n", path],
                                 capture_output=True, text=True)
            got = out.stdout.split()
            got = [" ".join(got[i:i + 2]) for i in range(0, len(got), 2)]
            if out.returncode != 0 or out.stderr.strip() or got != expect[name]:
                raise ValueError("identify on %s: %r %r" % (name, out.stdout, out.stderr))
        report.append("identify agrees on all %d files" % len(written))
    print("\n".join(report))


if __name__ == "__main__":
    sys.exit(main())
