#!/usr/bin/env python3
"""Writes the sample Quilvane Word Processor product that the setup program
carries: the data files under files/ and the ordered payload list
manifest.tsv (name, source, timestamp).

The output is byte-for-byte the same on every run: all "random" content comes
from a fixed-seed generator defined here, and nothing depends on the clock,
the locale or the order in which the file system lists directories.

Every picture is decoded again after it is written and compared with what was
meant to be stored, and every name is checked against the Windows file-name
rules, so a run that finishes without an error has produced a usable sample.

Usage: python3 make_sample.py
"""

import datetime
import math
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FILES = os.path.join(HERE, "files")
MANIFEST = os.path.join(HERE, "manifest.tsv")
PRODUCT = "Quilvane Word Processor"
CRLF = "\r\n"

# The drawing and PNG helpers shared with tools/make_art.py.
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
from imaging import (CLEAR, PNG_SIG, Canvas, decode_png, inside_polygon,  # noqa: E402
                     median_cut, paeth, png_chunk, rgb, shift_pts, star_pts,
                     vgrad)


# ---------------------------------------------------------------------------
# Deterministic pseudo-random numbers (splitmix64), independent of the
# Python version's own generator.

class Rng:
    MASK = (1 << 64) - 1

    def __init__(self, seed):
        self.state = seed & self.MASK

    def next64(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & self.MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & self.MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & self.MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next64() % n

    def between(self, lo, hi):
        """Integer in [lo, hi]."""
        return lo + self.below(hi - lo + 1)

    def uniform(self, lo, hi):
        return lo + (hi - lo) * ((self.next64() >> 11) / float(1 << 53))

    def choice(self, seq):
        return seq[self.below(len(seq))]

    def bytes(self, n):
        out = bytearray()
        while len(out) < n:
            out += struct.pack("<Q", self.next64())
        return bytes(out[:n])


# ---------------------------------------------------------------------------
# More shape and colour helpers (the Canvas itself is in tools/imaging.py).

def regular_pts(cx, cy, r, n, rot=-90.0):
    return [(cx + r * math.cos(math.radians(rot + 360.0 * i / n)),
             cy + r * math.sin(math.radians(rot + 360.0 * i / n))) for i in range(n)]


def ellipse_pts(cx, cy, rx, ry, rot=0.0, n=36):
    c, s = math.cos(math.radians(rot)), math.sin(math.radians(rot))
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x, y = rx * math.cos(t), ry * math.sin(t)
        pts.append((cx + x * c - y * s, cy + x * s + y * c))
    return pts


def rotate_pts(pts, deg, cx=50.0, cy=50.0):
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in pts]


def heart_pts(cx, cy, size, n=60):
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append((cx + x * size / 34.0, cy - y * size / 34.0))
    return pts


def shade(c, f):
    """Darken (f < 1) or lighten (f > 1) a colour."""
    if f <= 1:
        return (int(c[0] * f), int(c[1] * f), int(c[2] * f), c[3])
    g = f - 1
    return (int(c[0] + (255 - c[0]) * g), int(c[1] + (255 - c[1]) * g),
            int(c[2] + (255 - c[2]) * g), c[3])


# ---------------------------------------------------------------------------
# PNG writing (the decoder that checks it is in tools/imaging.py).

def png_filter(raw_rows, bpp):
    """Chooses a filter per row by the usual smallest-absolute-sum rule."""
    out = bytearray()
    prev = bytes(len(raw_rows[0]))
    for row in raw_rows:
        cands = []
        n = len(row)
        f1 = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(n))
        f2 = bytes((row[i] - prev[i]) & 255 for i in range(n))
        f3 = bytes((row[i] - (((row[i - bpp] if i >= bpp else 0) + prev[i]) >> 1)) & 255 for i in range(n))
        f4 = bytes((row[i] - paeth(row[i - bpp] if i >= bpp else 0, prev[i],
                                   prev[i - bpp] if i >= bpp else 0)) & 255 for i in range(n))
        for ft, data in ((0, bytes(row)), (1, f1), (2, f2), (3, f3), (4, f4)):
            cands.append((sum(v if v < 128 else 256 - v for v in data), ft, data))
        cands.sort(key=lambda t: (t[0], t[1]))
        out.append(cands[0][1])
        out += cands[0][2]
        prev = row
    return bytes(out)


def encode_png(w, h, colour_type, raw_rows, palette=None):
    bpp = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    data = PNG_SIG + png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
    if colour_type == 3:
        data += png_chunk(b"PLTE", b"".join(bytes(c[:3]) for c in palette))
    data += png_chunk(b"IDAT", zlib.compress(png_filter(raw_rows, bpp), 9))
    data += png_chunk(b"IEND", b"")
    return data


def png_from_pixels(pixels, flatten):
    """RGBA rows -> PNG bytes and the raw rows stored. With flatten the image
    is composited onto white and stored as RGB."""
    h, w = len(pixels), len(pixels[0])
    raw = []
    for row in pixels:
        b = bytearray()
        for r, g, bl, a in row:
            if flatten:
                b += bytes((int((r * a + 255 * (255 - a)) / 255 + 0.5),
                            int((g * a + 255 * (255 - a)) / 255 + 0.5),
                            int((bl * a + 255 * (255 - a)) / 255 + 0.5)))
            else:
                b += bytes((r, g, bl, a) if a else (0, 0, 0, 0))
        raw.append(bytes(b))
    return encode_png(w, h, 2 if flatten else 6, raw), raw


# ---------------------------------------------------------------------------
# GIF89a writing (LZW) and independent re-reading.

def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 255)
            acc >>= 8
            nbits -= 8

    size = min_code_size + 1
    table = {}
    next_code = eoi + 1
    emit(clear, size)
    w = indices[0]
    for k in indices[1:]:
        key = (w, k)
        if key in table:
            w = table[key]
            continue
        emit(w, size)
        if next_code < 4096:
            table[key] = next_code
            if next_code == (1 << size) and size < 12:
                size += 1
            next_code += 1
        else:
            # Table full: start again so later data still compresses.
            emit(clear, size)
            table = {}
            next_code = eoi + 1
            size = min_code_size + 1
        w = k
    emit(w, size)
    emit(eoi, size)
    if nbits:
        out.append(acc & 255)
    return bytes(out)


def lzw_decode(data, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    pos = acc = nbits = 0
    size = min_code_size + 1
    table = [bytes((i,)) for i in range(clear)] + [b"", b""]
    out = bytearray()
    prev = None
    while True:
        while nbits < size:
            if pos >= len(data):
                raise ValueError("LZW data ends without an end code")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            table = table[:eoi + 1]
            size = min_code_size + 1
            prev = None
            continue
        if code == eoi:
            break
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(prev + entry[:1])
        elif code == len(table):
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise ValueError("bad LZW code %d" % code)
        out += entry
        if len(table) == (1 << size) and size < 12:
            size += 1
        prev = entry
    return bytes(out)


def encode_gif(w, h, palette, indices, transparent=None):
    bits = 1
    while (1 << bits) < len(palette):
        bits += 1
    pal = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", w, h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    data += b"".join(bytes(c[:3]) for c in pal)
    if transparent is not None:
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent, 0)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, w, h, 0)
    mcs = max(2, bits)
    lzw = lzw_encode(indices, mcs)
    data.append(mcs)
    for i in range(0, len(lzw), 255):
        block = lzw[i:i + 255]
        data.append(len(block))
        data += block
    data += b"\x00\x3B"
    return bytes(data)


def decode_gif(data):
    """Walks the GIF block structure; returns (width, height, palette size,
    transparent index or None, decoded indices)."""
    if data[:6] != b"GIF89a":
        raise ValueError("bad GIF signature")
    w, h, flags, _bg, _aspect = struct.unpack("<HHBBB", data[6:13])
    pos = 13
    gct = 0
    if flags & 0x80:
        gct = 1 << ((flags & 7) + 1)
        pos += 3 * gct
    transparent, pixels = None, None
    while True:
        b = data[pos]
        if b == 0x3B:
            if pos != len(data) - 1:
                raise ValueError("data after GIF trailer")
            break
        if b == 0x21:
            label = data[pos + 1]
            pos += 2
            if label == 0xF9:
                if data[pos] != 4:
                    raise ValueError("bad graphic control block")
                if data[pos + 1] & 1:
                    transparent = data[pos + 4]
            while data[pos]:
                pos += data[pos] + 1
            pos += 1
        elif b == 0x2C:
            x, y, iw, ih, iflags = struct.unpack("<HHHHB", data[pos + 1:pos + 10])
            if (x, y, iw, ih) != (0, 0, w, h) or iflags & 0x80:
                raise ValueError("unexpected image descriptor")
            pos += 10
            mcs = data[pos]
            pos += 1
            lzw = bytearray()
            while data[pos]:
                lzw += data[pos + 1:pos + 1 + data[pos]]
                pos += data[pos] + 1
            pos += 1
            pixels = lzw_decode(bytes(lzw), mcs)
        else:
            raise ValueError("unknown GIF block 0x%02x" % b)
    if pixels is None or len(pixels) != w * h:
        raise ValueError("GIF image data has the wrong size")
    return w, h, gct, transparent, pixels


def gif_from_pixels(pixels):
    """RGBA rows -> GIF bytes and the palette indices stored. Pixels less
    than half covered become transparent; the rest are put onto white."""
    h, w = len(pixels), len(pixels[0])
    flat, hist = [], {}
    has_clear = False
    for row in pixels:
        for r, g, b, a in row:
            if a < 128:
                flat.append(None)
                has_clear = True
                continue
            c = (int((r * a + 255 * (255 - a)) / 255 + 0.5),
                 int((g * a + 255 * (255 - a)) / 255 + 0.5),
                 int((b * a + 255 * (255 - a)) / 255 + 0.5))
            flat.append(c)
            hist[c] = hist.get(c, 0) + 1
    palette, index = median_cut(hist, 255 if has_clear else 256)
    transparent = None
    if has_clear:
        transparent = len(palette)
        palette = palette + [(255, 255, 255)]
    indices = bytes(transparent if c is None else index[c] for c in flat)
    return encode_gif(w, h, palette, indices, transparent), indices


# ---------------------------------------------------------------------------
# Clip-art drawings. Each draws into a 100 x 100 design square.

WHITE, BLACK = rgb(0xFFFFFF), rgb(0x000000)
OUTLINE = rgb(0x303030)


def d_cat(c, fur, eye):
    dark = shade(fur, 0.7)
    for s in (1, -1):
        c.polygon([(50 - s * 30, 42), (50 - s * 26, 10), (50 - s * 6, 30)], dark)
        c.polygon([(50 - s * 27, 36), (50 - s * 25, 17), (50 - s * 12, 30)], rgb(0xF4A6B8))
    c.ellipse(50, 56, 34, 30, dark)
    c.ellipse(50, 55, 32, 28, fur)
    c.ellipse(50, 70, 16, 11, shade(fur, 1.5))
    for x in (37, 63):
        c.ellipse(x, 51, 6, 8, eye)
        c.ellipse(x, 51, 2, 7, BLACK)
        c.circle(x + 2, 48, 1.5, WHITE)
    c.polygon([(45, 63), (55, 63), (50, 69)], rgb(0xE0708A))
    c.polyline([(50, 69), (50, 73), (44, 77)], 1.6, OUTLINE)
    c.polyline([(50, 73), (56, 77)], 1.6, OUTLINE)
    for s in (1, -1):
        for dy in (-3, 2):
            c.line(50 + s * 14, 68 + dy, 50 + s * 40, 64 + dy * 2.5, 1.2, OUTLINE)


def d_fish(c, body, fin, stripes=False):
    c.polygon([(26, 50), (6, 28), (12, 50), (6, 72)], fin)
    c.polygon([(40, 34), (58, 14), (66, 34)], fin)
    c.polygon([(48, 66), (58, 80), (62, 66)], fin)
    c.ellipse(52, 50, 36, 21, shade(body, 0.75))
    c.ellipse(52, 50, 34, 19, body)
    if stripes:
        c.clip = lambda x, y: ((x - 52) / 34.0) ** 2 + ((y - 50) / 19.0) ** 2 < 1
        for x in (40, 56):
            c.rect(x, 28, x + 7, 72, WHITE)
        c.clip = None
    c.ellipse(58, 58, 16, 6, shade(body, 1.35))
    c.circle(74, 45, 6, WHITE)
    c.circle(75, 45, 3, BLACK)
    c.polyline([(86, 54), (80, 56)], 2, shade(body, 0.5))
    for x, y, r in ((88, 28, 4), (92, 16, 3), (84, 8, 2)):
        c.ring(x, y, r, r, 1.2, rgb(0x5AA9E6))


def d_bird(c, body, wing):
    orange = rgb(0xF2A02A)
    c.line(44, 76, 41, 93, 2.5, orange)
    c.line(56, 76, 59, 93, 2.5, orange)
    c.polygon([(26, 54), (4, 42), (10, 62)], shade(wing, 0.85))
    c.ellipse(48, 58, 29, 22, body)
    c.ellipse(52, 66, 18, 10, shade(body, 1.5))
    c.circle(72, 38, 15, body)
    c.polygon([(84, 34), (97, 40), (84, 45)], orange)
    c.circle(75, 35, 3.5, WHITE)
    c.circle(76, 35, 2, BLACK)
    c.polygon(ellipse_pts(42, 54, 19, 10, -18), wing)


def d_butterfly(c, w1, w2):
    for s in (1, -1):
        c.polygon(ellipse_pts(50 - s * 22, 34, 22, 18, s * 25), shade(w1, 0.8))
        c.polygon(ellipse_pts(50 - s * 22, 34, 19, 15, s * 25), w1)
        c.polygon(ellipse_pts(50 - s * 17, 66, 15, 17, -s * 20), w2)
        c.circle(50 - s * 24, 32, 6, w2)
        c.circle(50 - s * 17, 68, 5, w1)
    c.ellipse(50, 52, 4.5, 27, rgb(0x3B2A20))
    c.polyline([(48, 27), (42, 16), (36, 10)], 1.5, rgb(0x3B2A20))
    c.polyline([(52, 27), (58, 16), (64, 10)], 1.5, rgb(0x3B2A20))
    c.circle(36, 10, 2.5, rgb(0x3B2A20))
    c.circle(64, 10, 2.5, rgb(0x3B2A20))


def d_ladybird(c, shell):
    for y in (46, 60, 74):
        c.line(14, y - 4, 86, y + 4, 2.5, BLACK)
    c.ellipse(50, 24, 16, 12, BLACK)
    c.circle(44, 20, 3, WHITE)
    c.circle(56, 20, 3, WHITE)
    c.ellipse(50, 58, 34, 31, shell)
    c.line(50, 30, 50, 89, 2, BLACK)
    for x, y, r in ((34, 46, 6), (66, 46, 6), (30, 68, 5), (70, 68, 5), (42, 80, 4), (58, 80, 4)):
        c.circle(x, y, r, BLACK)
    c.ellipse(36, 40, 6, 3, shade(shell, 1.5))


def d_snail(c, shell, body):
    c.polygon([(8, 86), (14, 74), (80, 74), (94, 82), (90, 88), (10, 90)], body)
    c.line(80, 76, 84, 54, 2.5, body)
    c.line(88, 78, 94, 58, 2.5, body)
    c.circle(84, 54, 3, OUTLINE)
    c.circle(94, 58, 3, OUTLINE)
    for i, r in enumerate((34, 26, 18, 10)):
        c.circle(50 - i * 2.5, 48 + i * 3, r, shell if i % 2 == 0 else shade(shell, 0.75))
    c.circle(43, 57, 3, shade(shell, 0.6))


def arrow_pts():
    return [(10, 40), (56, 40), (56, 16), (90, 50), (56, 84), (56, 60), (10, 60)]


def d_arrow(c, colour, deg, shape="arrow"):
    if shape == "arrow":
        pts = arrow_pts()
    elif shape == "double":
        pts = [(8, 50), (30, 24), (30, 40), (70, 40), (70, 24), (92, 50),
               (70, 76), (70, 60), (30, 60), (30, 76)]
    else:  # chevron
        pts = [(22, 12), (50, 12), (82, 50), (50, 88), (22, 88), (54, 50)]
    pts = rotate_pts(pts, deg)
    c.polygon(shift_pts(pts, 3, 3), rgb(0x000000, 70))
    c.polygon(pts, vgrad(10, 90, shade(colour, 1.35), colour))


def d_curved_arrow(c, colour, back=False, both=False):
    def one(a0, a1, head_at, flip):
        c.arc(50, 54, 38, 13, a0, a1, colour)
        a = math.radians(head_at)
        ex, ey = 50 + 31.5 * math.cos(a), 54 + 31.5 * math.sin(a)
        tx, ty = -math.sin(a) * flip, math.cos(a) * flip
        nx, ny = math.cos(a), math.sin(a)
        c.polygon([(ex + nx * 14, ey + ny * 14), (ex - nx * 14, ey - ny * 14),
                   (ex + tx * 18, ey + ty * 18)], shade(colour, 0.85))
    if both:
        one(200, 340, 340, 1)
        one(20, 160, 160, 1)
    elif back:
        one(200, 340, 200, -1)
    else:
        one(200, 340, 340, 1)


def d_border(c, style, col, col2):
    if style == "simple":
        c.frame(6, 6, 94, 94, 7, col)
    elif style == "double":
        c.frame(5, 5, 95, 95, 5, col)
        c.frame(15, 15, 85, 85, 2.5, col2)
    elif style == "rounded":
        c.rrect(5, 5, 95, 95, 16, col)
        c.rrect(13, 13, 87, 87, 9, CLEAR)
    elif style == "dotted":
        for i in range(9):
            t = 10 + i * 10
            for x, y in ((t, 8), (t, 92), (8, t), (92, t)):
                c.circle(x, y, 3.2, col)
    elif style == "checker":
        for i in range(10):
            for x, y in ((i * 10, 0), (i * 10, 90), (0, i * 10), (90, i * 10)):
                c.rect(x, y, x + 10, y + 10, col if ((x + y) // 10) % 2 == 0 else col2)
    elif style == "corner":
        c.frame(10, 10, 90, 90, 2.5, col)
        for cx, cy in ((10, 10), (90, 10), (10, 90), (90, 90)):
            c.ring(cx, cy, 9, 9, 3, col2)
            c.circle(cx, cy, 3.5, col)
    elif style == "stripe":
        c.clip = lambda x, y: not (12 < x < 88 and 12 < y < 88)
        c.fill(col2)
        for i in range(-10, 12):
            c.line(i * 10, 0, i * 10 + 100, 100, 4, col, caps=False)
        c.clip = None
    elif style == "zigzag":
        for edge in range(4):
            pts = [(6 + i * 8, 6 if i % 2 == 0 else 14) for i in range(12)]
            c.polyline(rotate_pts(pts, 90 * edge), 2.5, col)
        c.frame(18, 18, 82, 82, 2, col2)
    elif style == "dashed":
        for i in range(6):
            t0 = 6 + i * 15
            c.rect(t0, 6, t0 + 9, 11, col)
            c.rect(t0, 89, t0 + 9, 94, col)
            c.rect(6, t0, 11, t0 + 9, col)
            c.rect(89, t0, 94, t0 + 9, col)
    elif style == "bead":
        for i in range(8):
            t = 8 + i * 12
            cc = col if i % 2 == 0 else col2
            for x, y in ((t, 8), (t, 92), (8, t), (92, t)):
                c.circle(x, y, 5, cc)
    elif style == "shadow":
        c.frame(10, 10, 94, 94, 6, rgb(0x000000, 80))
        c.frame(6, 6, 90, 90, 6, col)
        c.frame(8, 8, 88, 88, 1.2, col2)
    elif style == "wave":
        for edge in range(4):
            pts = [(4 + i * 2, 9 + 4 * math.sin(i * 0.55)) for i in range(47)]
            c.polyline(rotate_pts(pts, 90 * edge), 2.4, col if edge % 2 == 0 else col2)
    elif style == "diamond":
        for i in range(8):
            t = 8 + i * 12
            for x, y in ((t, 8), (t, 92), (8, t), (92, t)):
                c.polygon([(x, y - 6), (x + 5, y), (x, y + 6), (x - 5, y)], col if i % 2 else col2)
        c.frame(18, 18, 82, 82, 1.5, col)


def window(c, x, y, w, h, frame=rgb(0xFFFFFF), glass=rgb(0x9FD3F5)):
    c.rect(x, y, x + w, y + h, frame)
    c.rect(x + 1.5, y + 1.5, x + w - 1.5, y + h - 1.5, glass)
    c.line(x + w / 2.0, y + 1, x + w / 2.0, y + h - 1, 1.3, frame, caps=False)
    c.line(x + 1, y + h / 2.0, x + w - 1, y + h / 2.0, 1.3, frame, caps=False)


def d_building(c, kind, wall, roof):
    grass = rgb(0x6DB33F)
    c.rect(0, 90, 100, 96, grass)
    if kind in ("house", "cottage", "school"):
        c.rect(64, 18, 73, 40, shade(roof, 0.8))
        c.rect(20, 46, 80, 90, wall)
        c.polygon([(10, 50), (50, 14), (90, 50)], roof)
        c.rect(44, 64, 56, 90, shade(roof, 0.7))
        c.circle(53.5, 78, 1.2, rgb(0xF2D04A))
        if kind == "cottage":
            c.circle(50, 36, 6, WHITE)
            c.circle(50, 36, 4.5, rgb(0x9FD3F5))
        window(c, 26, 56, 12, 12)
        window(c, 62, 56, 12, 12)
        if kind == "school":
            c.rect(44, 4, 56, 18, wall)
            c.polygon([(42, 6), (50, -2), (58, 6)], roof)
            c.circle(50, 12, 3, rgb(0xF2C230))
    elif kind == "apartments":
        c.rect(20, 16, 80, 90, wall)
        c.rect(18, 12, 82, 18, roof)
        for row in range(5):
            for col in range(4):
                window(c, 25 + col * 13.5, 22 + row * 12, 9, 8)
        c.rect(44, 78, 56, 90, shade(roof, 0.7))
    elif kind == "skyscraper":
        c.line(50, 2, 50, 12, 2, OUTLINE)
        c.rect(34, 12, 66, 90, wall)
        c.rect(30, 86, 70, 90, roof)
        for row in range(9):
            for col in range(3):
                c.rect(38 + col * 9.5, 16 + row * 8, 44 + col * 9.5, 21 + row * 8, rgb(0xBFE3FA))
    elif kind == "towers":
        for x0, top, w in ((12, 24, 30), (48, 8, 40)):
            c.rect(x0, top, x0 + w, 90, wall if x0 > 20 else shade(wall, 0.85))
            for y in range(int(top) + 5, 86, 7):
                c.rect(x0 + 4, y, x0 + w - 4, y + 3, rgb(0x9FD3F5))
    elif kind == "church":
        c.rect(14, 50, 86, 90, wall)
        c.polygon([(8, 52), (30, 34), (92, 34), (92, 52)], roof)
        c.rect(26, 26, 44, 90, shade(wall, 0.92))
        c.polygon([(23, 28), (35, 2), (47, 28)], roof)
        c.line(35, -2, 35, 8, 1.6, rgb(0xC89B2A))
        c.circle(35, 40, 4, rgb(0xF2C230))
        c.rrect(30, 70, 40, 90, 4, shade(roof, 0.7))
        for x in (54, 70):
            c.rrect(x, 60, x + 8, 78, 4, rgb(0x9FD3F5))
    elif kind == "barn":
        c.polygon([(16, 90), (16, 44), (30, 24), (50, 14), (70, 24), (84, 44), (84, 90)], wall)
        c.polyline([(14, 45), (30, 23), (50, 12), (70, 23), (86, 45)], 3, WHITE)
        c.rect(36, 56, 64, 90, WHITE)
        c.rect(39, 59, 61, 90, shade(wall, 0.8))
        c.line(39, 59, 61, 90, 2.5, WHITE, caps=False)
        c.line(61, 59, 39, 90, 2.5, WHITE, caps=False)
        c.rect(44, 30, 56, 40, WHITE)
        c.rect(46, 32, 54, 38, shade(wall, 0.7))
    elif kind == "lighthouse":
        c.polygon([(54, 20), (100, 6), (100, 34)], rgb(0xFFF3A0, 130))
        c.polygon([(46, 20), (0, 6), (0, 34)], rgb(0xFFF3A0, 130))
        tower = [(36, 90), (42, 30), (58, 30), (64, 90)]
        c.polygon(tower, WHITE)
        c.clip = lambda x, y: int((y - 30) / 12) % 2 == 0
        c.polygon(tower, wall)
        c.clip = None
        c.rect(40, 14, 60, 30, rgb(0xFFF3A0))
        c.frame(40, 14, 60, 30, 2, OUTLINE)
        c.polygon([(38, 15), (50, 4), (62, 15)], roof)
        c.rect(36, 28, 64, 32, OUTLINE)
    elif kind == "castle":
        for x0 in (8, 72):
            c.rect(x0, 24, x0 + 20, 90, shade(wall, 0.9))
            for i in range(3):
                c.rect(x0 + i * 7.5, 18, x0 + i * 7.5 + 5, 24, shade(wall, 0.9))
            c.polygon([(x0 - 2, 20), (x0 + 10, 2), (x0 + 22, 20)], roof)
        c.rect(28, 40, 72, 90, wall)
        for i in range(6):
            c.rect(28 + i * 7.6, 34, 28 + i * 7.6 + 5, 40, wall)
        c.polygon([(40, 90), (40, 66), (44, 60), (50, 57), (56, 60), (60, 66), (60, 90)], rgb(0x5A3A22))
        for x in (15, 79):
            c.rrect(x, 40, x + 6, 52, 3, OUTLINE)
    elif kind == "factory":
        for x, top in ((62, 10), (76, 20)):
            c.rect(x, top, x + 9, 50, shade(wall, 0.8))
        for i, (x, y, r) in enumerate(((68, 6, 5), (76, 0, 6), (84, -4, 7))):
            c.circle(x, y, r, rgb(0xA0A0A0, 150))
        pts = [(8, 90), (8, 44)]
        for i in range(4):
            pts += [(8 + i * 21, 44), (8 + i * 21 + 21, 30)]
        pts += [(92, 30), (92, 90)]
        c.polygon(pts, wall)
        for i in range(4):
            c.rect(13 + i * 21, 58, 24 + i * 21, 70, rgb(0x9FD3F5))
        c.rect(40, 76, 56, 90, shade(roof, 0.7))
    elif kind == "shop":
        c.rect(14, 30, 86, 90, wall)
        c.rect(12, 18, 88, 30, roof)
        for i in range(8):
            c.polygon([(12 + i * 9.5, 30), (21.5 + i * 9.5, 30), (16.75 + i * 9.5, 38)],
                      roof if i % 2 else WHITE)
        c.rect(20, 46, 52, 76, rgb(0x9FD3F5))
        c.frame(20, 46, 52, 76, 2, WHITE)
        c.rect(60, 50, 78, 90, shade(roof, 0.7))
        c.rect(12, 86, 88, 90, shade(wall, 0.7))
    elif kind == "hall":
        c.polygon([(6, 36), (50, 10), (94, 36)], roof)
        c.rect(10, 36, 90, 42, wall)
        for i in range(5):
            c.rect(16 + i * 15, 42, 24 + i * 15, 84, WHITE)
            c.line(20 + i * 15, 44, 20 + i * 15, 82, 1, shade(wall, 0.8), caps=False)
        c.rect(8, 84, 92, 90, wall)
        c.circle(50, 28, 5, rgb(0xF2C230))


def d_business(c, kind, col):
    ink = rgb(0x404040)
    if kind in ("bars", "growth"):
        c.line(12, 8, 12, 88, 3, ink)
        c.line(12, 88, 94, 88, 3, ink)
        heights = (30, 52, 40, 70) if kind == "bars" else (18, 34, 52, 74)
        cols = (col, rgb(0xE8A33D), rgb(0x4BAE4F), rgb(0xD9534F))
        for i, hgt in enumerate(heights):
            x = 20 + i * 18
            c.rect(x, 86 - hgt, x + 13, 86, cols[i] if kind == "bars" else col)
            c.rect(x, 86 - hgt, x + 4, 86, rgb(0xFFFFFF, 60))
        if kind == "growth":
            c.polyline([(20, 60), (40, 46), (56, 40), (76, 16)], 3.5, rgb(0xD9534F))
            c.polygon([(70, 12), (86, 8), (80, 24)], rgb(0xD9534F))
    elif kind in ("pie", "quarters"):
        cuts = (0, 130, 220, 300, 360) if kind == "pie" else (0, 90, 180, 270, 360)
        cols = (col, rgb(0xE8A33D), rgb(0x4BAE4F), rgb(0xD9534F))
        c.circle(52, 54, 40, rgb(0x000000, 60))
        for i in range(4):
            off = 4 if i == 0 else 0
            mid = math.radians((cuts[i] + cuts[i + 1]) / 2.0)
            c.sector(50 + off * math.cos(mid), 50 + off * math.sin(mid), 40,
                     cuts[i], cuts[i + 1], cols[i])
    elif kind == "line":
        c.rect(8, 8, 92, 92, WHITE)
        for i in range(1, 5):
            c.line(8, 8 + i * 16.8, 92, 8 + i * 16.8, 0.8, rgb(0xC8C8C8), caps=False)
            c.line(8 + i * 16.8, 8, 8 + i * 16.8, 92, 0.8, rgb(0xC8C8C8), caps=False)
        c.frame(8, 8, 92, 92, 2, ink)
        pts = [(14, 78), (30, 60), (44, 66), (60, 40), (74, 46), (88, 20)]
        c.polyline(pts, 3, col)
        for x, y in pts:
            c.circle(x, y, 3.5, rgb(0xD9534F))
    elif kind == "briefcase":
        c.ring(50, 28, 14, 12, 4, shade(col, 0.6))
        c.rrect(8, 30, 92, 86, 8, col)
        c.rect(8, 50, 92, 54, shade(col, 0.75))
        c.rrect(42, 46, 58, 58, 2, rgb(0xE8C547))
    elif kind == "clock":
        c.circle(50, 50, 44, col)
        c.circle(50, 50, 37, WHITE)
        for i in range(12):
            a = math.radians(i * 30)
            r0 = 29 if i % 3 else 26
            c.line(50 + r0 * math.cos(a), 50 + r0 * math.sin(a),
                   50 + 34 * math.cos(a), 50 + 34 * math.sin(a), 2.5 if i % 3 == 0 else 1.5, ink)
        c.line(50, 50, 50, 26, 3.5, ink)
        c.line(50, 50, 68, 58, 3, ink)
        c.circle(50, 50, 3.5, rgb(0xD9534F))
    elif kind == "calendar":
        c.rrect(10, 14, 90, 92, 6, WHITE)
        c.rrect(10, 14, 90, 36, 6, col)
        c.rect(10, 28, 90, 36, col)
        for x in (28, 72):
            c.rrect(x - 3, 6, x + 3, 22, 3, ink)
        for row in range(4):
            for k in range(5):
                cc = rgb(0xD9534F) if (row, k) == (2, 3) else rgb(0xB0B0B0)
                c.rect(17 + k * 14, 42 + row * 12, 27 + k * 14, 50 + row * 12, cc)
        c.frame(10, 14, 90, 92, 1.5, rgb(0x909090))
    elif kind == "envelope":
        c.rect(6, 24, 94, 80, WHITE)
        c.polygon([(6, 80), (50, 50), (94, 80)], rgb(0xE8E8E8))
        c.polygon([(6, 24), (50, 58), (94, 24)], shade(col, 1.6))
        c.polyline([(6, 24), (50, 58), (94, 24)], 1.5, rgb(0x909090))
        c.frame(6, 24, 94, 80, 1.5, rgb(0x909090))
        c.circle(50, 56, 6, rgb(0xC0392B))
    elif kind == "coins":
        gold, dark = rgb(0xF2C230), rgb(0xB8860B)
        for x, n in ((32, 5), (66, 3)):
            for i in range(n):
                y = 84 - i * 9
                c.ellipse(x, y + 3, 22, 8, dark)
                c.rect(x - 22, y, x + 22, y + 3, dark)
                c.ellipse(x, y, 22, 8, gold)
                c.ring(x, y, 16, 5.5, 1.5, dark)
    elif kind == "folder":
        c.polygon([(8, 22), (36, 22), (42, 30), (92, 30), (92, 84), (8, 84)], shade(col, 0.85))
        c.polygon([(8, 38), (92, 38), (88, 84), (12, 84)], col)
        c.rect(26, 24, 62, 40, WHITE)
    elif kind == "bulb":
        for i in range(8):
            a = math.radians(-180 + i * 25.7)
            c.line(50 + 36 * math.cos(a), 40 + 36 * math.sin(a),
                   50 + 46 * math.cos(a), 40 + 46 * math.sin(a), 3, rgb(0xF2C230))
        c.circle(50, 40, 28, rgb(0xFFE97A))
        c.polygon([(36, 58), (64, 58), (60, 72), (40, 72)], rgb(0xFFE97A))
        c.ellipse(40, 32, 7, 10, rgb(0xFFFFFF, 160))
        for i in range(3):
            c.rrect(38, 72 + i * 6, 62, 77 + i * 6, 2.5, rgb(0x8C8C8C) if i % 2 else rgb(0xB4B4B4))
        c.polygon([(44, 90), (56, 90), (50, 96)], rgb(0x606060))
    elif kind == "target":
        for i, r in enumerate((44, 35, 26, 17, 8)):
            c.circle(50, 50, r, col if i % 2 == 0 else WHITE)
        c.line(50, 50, 92, 8, 3, rgb(0x5A3A22))
        c.polygon([(50, 50), (50, 40), (60, 50)], rgb(0x404040))
        c.polygon([(92, 8), (96, 0), (98, 12), (90, 14)], rgb(0x4BAE4F))
    elif kind == "board":
        c.line(50, 70, 34, 96, 3, ink)
        c.line(50, 70, 66, 96, 3, ink)
        c.rect(6, 10, 94, 70, WHITE)
        c.frame(6, 10, 94, 70, 3, ink)
        c.rect(16, 22, 48, 26, col)
        c.rect(16, 32, 60, 35, rgb(0xB0B0B0))
        c.rect(16, 40, 56, 43, rgb(0xB0B0B0))
        c.rect(16, 48, 50, 51, rgb(0xB0B0B0))
        c.sector(74, 44, 13, 0, 260, col)
        c.sector(76, 42, 13, 260, 360, rgb(0xE8A33D))


def d_celebration(c, kind, col):
    if kind in ("balloons", "balloon", "heart"):
        layout = {"balloons": ((32, 36, col), (66, 30, rgb(0x3D8FD9)), (50, 50, rgb(0xF2C230))),
                "balloon": ((50, 38, col),),
                "heart": ((50, 38, col),)}[kind]
        rx, ry = (27, 33) if kind == "balloon" else (21, 26)
        for x, y, _ in layout:
            c.polyline([(x, y + ry), (x - 4, y + ry + 12), (x + 3, y + ry + 22), (50, 98)], 1.2, rgb(0x707070))
        for x, y, cc in layout:
            if kind == "heart":
                c.polygon(heart_pts(x, y, 56), cc)
                c.ellipse(x - 13, y - 12, 5, 8, rgb(0xFFFFFF, 110))
                continue
            c.ellipse(x, y, rx, ry, cc)
            c.polygon([(x - 3, y + ry + 2), (x + 3, y + ry + 2), (x, y + ry - 3)], shade(cc, 0.75))
            c.ellipse(x - rx * 0.38, y - ry * 0.38, rx * 0.24, ry * 0.3, rgb(0xFFFFFF, 120))
    elif kind == "gift":
        c.rect(14, 42, 86, 92, col)
        c.rect(10, 32, 90, 44, shade(col, 0.85))
        rib = rgb(0xF2C230)
        c.rect(45, 32, 55, 92, rib)
        c.rect(10, 35, 90, 41, rib)
        c.polygon(ellipse_pts(38, 24, 14, 8, 25), rib)
        c.polygon(ellipse_pts(62, 24, 14, 8, -25), rib)
        c.circle(50, 30, 5, shade(rib, 0.85))
    elif kind == "hat":
        pts = [(20, 90), (50, 12), (80, 90)]
        c.polygon(pts, col)
        c.clip = lambda x, y: int((x + y * 0.6) / 12) % 2 == 0
        c.polygon(pts, rgb(0xF2C230))
        c.clip = None
        for i in range(9):
            c.circle(22 + i * 7, 90, 4, WHITE)
        c.circle(50, 11, 7, rgb(0x3D8FD9))
    elif kind == "cake":
        c.ellipse(50, 90, 44, 6, rgb(0xD0D0D0))
        c.rect(12, 60, 88, 88, rgb(0xC98A5B))
        c.rect(22, 38, 78, 60, rgb(0xE0A877))
        for x0, x1, y in ((12, 88, 60), (22, 78, 38)):
            c.rect(x0, y, x1, y + 5, WHITE)
            n = int((x1 - x0) / 8)
            for i in range(n):
                c.circle(x0 + 4 + i * (x1 - x0 - 8) / float(max(1, n - 1)), y + 5, 3.5, WHITE)
        for i, x in enumerate((32, 44, 56, 68)):
            c.rect(x - 2, 20, x + 2, 38, col if i % 2 == 0 else rgb(0x3D8FD9))
            c.polygon(ellipse_pts(x, 14, 3, 6, 0, 16), rgb(0xF7A93B))
            c.ellipse(x, 15, 1.4, 3, rgb(0xFFF3A0))
    elif kind == "starburst":
        c.polygon(star_pts(50, 50, 47, 30, 16), shade(col, 0.85))
        c.polygon(star_pts(50, 50, 40, 26, 16, -90 + 11.25), col)
        c.circle(50, 50, 22, rgb(0xFFF3A0))
        c.polygon(star_pts(50, 50, 14, 6, 5), shade(col, 0.85))
    elif kind == "fireworks":
        rng = Rng(0x5EED0F1E)
        for cx, cy, r, cc in ((36, 38, 28, col), (70, 62, 22, rgb(0x3D8FD9)), (70, 22, 14, rgb(0xF2C230))):
            for i in range(12):
                a = math.radians(i * 30 + rng.uniform(-6, 6))
                c.line(cx + 6 * math.cos(a), cy + 6 * math.sin(a),
                       cx + r * math.cos(a), cy + r * math.sin(a), 2.2, cc)
                c.circle(cx + (r + 3) * math.cos(a), cy + (r + 3) * math.sin(a), 1.6, cc)
    elif kind == "confetti":
        rng = Rng(0xC0FE771)
        cols = (col, rgb(0x3D8FD9), rgb(0xF2C230), rgb(0x4BAE4F), rgb(0xE86AAE))
        for i in range(34):
            x, y = rng.uniform(8, 92), rng.uniform(8, 92)
            cc = cols[i % len(cols)]
            if i % 3 == 0:
                c.circle(x, y, 3, cc)
            else:
                c.polygon(rotate_pts([(x - 5, y - 2), (x + 5, y - 2), (x + 5, y + 2), (x - 5, y + 2)],
                                     rng.uniform(0, 180), x, y), cc)
    elif kind == "bell":
        gold = col
        pts = [(50, 14)]
        for i in range(21):
            t = i / 20.0
            y = 18 + t * 62
            half = 14 + 26 * t ** 2.2
            pts.append((50 + half, y))
        pts += [(50 - p[0] + 50, p[1]) for p in reversed(pts[1:])]
        c.ring(50, 12, 6, 6, 2.5, shade(gold, 0.7))
        c.polygon(pts, gold)
        c.rect(8, 78, 92, 84, shade(gold, 0.8))
        c.circle(50, 88, 7, shade(gold, 0.6))
        c.ellipse(38, 46, 4, 16, rgb(0xFFFFFF, 110))
    elif kind == "streamers":
        cols = (col, rgb(0x3D8FD9), rgb(0xF2C230), rgb(0x4BAE4F))
        for k, cc in enumerate(cols):
            pts = [(4 + i * 3, 14 + k * 22 + 7 * math.sin(i * 0.45 + k)) for i in range(31)]
            c.polyline(pts, 4.5, cc)


def d_flower(c, kind, petal, centre):
    green, dark_green = rgb(0x4BAE4F), rgb(0x2E7D32)
    if kind == "leaf":
        pts = []
        for i in range(21):
            t = i / 20.0
            pts.append((14 + 72 * t, 86 - 72 * t - 22 * math.sin(math.pi * t)))
        for i in range(21):
            t = 1 - i / 20.0
            pts.append((14 + 72 * t, 86 - 72 * t + 22 * math.sin(math.pi * t)))
        c.polygon(pts, petal)
        c.line(10, 90, 84, 16, 2.2, shade(petal, 0.7))
        for i in range(1, 5):
            x, y = 14 + i * 14, 86 - i * 14
            c.line(x, y, x + 12, y - 2, 1.3, shade(petal, 0.7))
            c.line(x, y, x + 2, y - 12, 1.3, shade(petal, 0.7))
        return
    if kind == "pot":
        c.line(50, 40, 50, 70, 3, dark_green)
        c.polygon(ellipse_pts(40, 56, 10, 4, -30), green)
        c.polygon(ellipse_pts(60, 52, 10, 4, 30), green)
        for i in range(6):
            a = math.radians(i * 60)
            c.circle(50 + 11 * math.cos(a), 30 + 11 * math.sin(a), 8, petal)
        c.circle(50, 30, 7, centre)
        c.polygon([(26, 70), (74, 70), (66, 96), (34, 96)], rgb(0xC8663A))
        c.rect(22, 66, 78, 74, rgb(0xA8522E))
        return
    c.line(50, 52, 50, 98, 3.5, dark_green)
    c.polygon(ellipse_pts(38, 80, 12, 5, -35), green)
    c.polygon(ellipse_pts(62, 74, 12, 5, 35), green)
    if kind == "tulip":
        c.polygon(ellipse_pts(50, 38, 18, 23, 0), shade(petal, 0.8))
        c.polygon([(32, 34), (32, 14), (41, 26), (50, 10), (59, 26), (68, 14), (68, 34)], petal)
        c.ellipse(50, 40, 18, 20, petal)
        c.polygon(ellipse_pts(44, 36, 4, 12, 10), shade(petal, 1.3))
        return
    n, length, width, r_c = {"daisy": (14, 20, 5, 9), "sunflower": (20, 18, 5, 14),
                             "poppy": (5, 15, 13, 7), "marigold": (18, 15, 6, 10),
                             "cornflower": (10, 19, 6, 7), "violet": (5, 14, 10, 5),
                             "forgetmenot": (5, 11, 9, 6)}[kind]
    cy = 36
    for i in range(n):
        a = 360.0 * i / n
        rr = math.radians(a)
        c.polygon(ellipse_pts(50 + (length - 2) * math.cos(rr), cy + (length - 2) * math.sin(rr),
                              length, width, a, 24), petal if i % 2 == 0 else shade(petal, 0.9))
    c.circle(50, cy, r_c, centre)
    if kind in ("sunflower", "poppy"):
        rng = Rng(0xF10A)
        for _ in range(18):
            a, r = rng.uniform(0, 6.283), rng.uniform(0, r_c - 2)
            c.circle(50 + r * math.cos(a), cy + r * math.sin(a), 1.2, shade(centre, 0.6))


def d_food(c, kind, col):
    green, brown = rgb(0x4BAE4F), rgb(0x6D4C2F)
    if kind == "apple":
        c.polyline([(50, 30), (52, 20), (56, 12)], 3.5, brown)
        c.polygon(ellipse_pts(66, 16, 12, 5, -25), green)
        c.circle(38, 56, 28, col)
        c.circle(62, 56, 28, col)
        c.ellipse(50, 72, 26, 20, col)
        c.ellipse(36, 46, 6, 10, rgb(0xFFFFFF, 110))
    elif kind == "pear":
        c.line(50, 22, 54, 8, 3, brown)
        c.circle(50, 38, 16, col)
        c.circle(50, 68, 26, col)
        c.polygon([(36, 40), (64, 40), (74, 62), (26, 62)], col)
        c.ellipse(40, 60, 5, 10, rgb(0xFFFFFF, 100))
    elif kind == "cherries":
        c.polyline([(30, 66), (42, 36), (56, 12)], 2.5, rgb(0x5D7F2E))
        c.polyline([(70, 62), (62, 34), (56, 12)], 2.5, rgb(0x5D7F2E))
        c.polygon(ellipse_pts(66, 12, 12, 5, -15), green)
        for x, y in ((30, 72), (70, 68)):
            c.circle(x, y, 18, col)
            c.ellipse(x - 6, y - 6, 4, 6, rgb(0xFFFFFF, 110))
    elif kind == "orange":
        c.circle(50, 54, 38, col)
        rng = Rng(0x0E)
        for _ in range(30):
            a, r = rng.uniform(0, 6.283), rng.uniform(4, 34)
            c.circle(50 + r * math.cos(a), 54 + r * math.sin(a), 1, shade(col, 0.85))
        c.polygon(ellipse_pts(62, 16, 12, 5, -20), green)
        c.ellipse(36, 40, 7, 10, rgb(0xFFFFFF, 90))
    elif kind == "slice":
        c.circle(50, 50, 42, col)
        c.circle(50, 50, 37, rgb(0xFFF1C9))
        for i in range(10):
            a0 = i * 36 + 3
            c.sector(50, 50, 33, a0, a0 + 30, shade(col, 1.15))
        c.circle(50, 50, 3, rgb(0xFFF1C9))
    elif kind == "watermelon":
        c.sector(50, 30, 46, 0, 180, rgb(0x2E7D32))
        c.sector(50, 30, 41, 0, 180, rgb(0xE8F5C8))
        c.sector(50, 30, 37, 0, 180, col)
        for x, y in ((34, 42), (50, 50), (66, 42), (42, 56), (58, 56), (26, 34), (74, 34)):
            c.polygon(ellipse_pts(x, y, 1.8, 3.2, 0, 12), rgb(0x222222))
    elif kind == "grapes":
        c.line(50, 16, 54, 4, 3, brown)
        c.polygon(ellipse_pts(66, 12, 12, 5, -20), green)
        for row, n in enumerate((4, 3, 3, 2, 1)):
            for i in range(n):
                x = 50 + (i - (n - 1) / 2.0) * 15
                y = 26 + row * 13
                c.circle(x, y, 8.5, shade(col, 0.8))
                c.circle(x - 1, y - 1, 7.5, col)
                c.circle(x - 3, y - 3, 2, rgb(0xFFFFFF, 120))
    elif kind == "cheese":
        c.polygon([(8, 60), (92, 34), (92, 76), (8, 90)], shade(col, 0.9))
        c.polygon([(8, 60), (64, 18), (92, 34)], shade(col, 1.2))
        for x, y, r in ((30, 72, 6), (58, 62, 5), (78, 56, 4), (46, 80, 3), (80, 70, 5)):
            c.ellipse(x, y, r, r * 0.8, shade(col, 0.7))
    elif kind == "icecream":
        cone = [(32, 50), (68, 50), (50, 98)]
        c.polygon(cone, rgb(0xD9A55B))
        c.clip = inside_polygon(cone)
        for i in range(-6, 8):
            c.line(20 + i * 8, 50, 60 + i * 8, 100, 1, rgb(0xA87A3A), caps=False)
            c.line(80 - i * 8, 50, 40 - i * 8, 100, 1, rgb(0xA87A3A), caps=False)
        c.clip = None
        c.circle(50, 44, 18, col)
        c.circle(50, 24, 14, rgb(0xF6E7C8))
        c.circle(50, 8, 5, rgb(0xC0392B))
    elif kind == "lollipop":
        c.line(50, 56, 50, 98, 4, rgb(0xEDEDED))
        c.circle(50, 36, 30, col)
        for i in range(1, 5):
            c.arc(50, 36, 30 - i * 6, 3, i * 70, i * 70 + 250, WHITE)
    elif kind == "coffee":
        c.ellipse(50, 88, 44, 8, rgb(0xE0E0E0))
        c.ring(80, 58, 12, 12, 5, WHITE)
        c.polygon([(14, 36), (86, 36), (78, 86), (22, 86)], WHITE)
        c.ellipse(50, 36, 36, 7, rgb(0x6D4C2F))
        c.polygon([(14, 50), (86, 50), (84, 62), (16, 62)], col)
        for x in (36, 50, 64):
            c.polyline([(x + 4 * math.sin(i * 0.9), 28 - i * 3) for i in range(7)], 1.8, rgb(0xB0B0B0))
    elif kind == "carrot":
        for a in (-30, 0, 30):
            c.polygon(ellipse_pts(68 + a * 0.2, 18, 14, 4, -60 + a), green)
        c.polygon([(50, 34), (74, 22), (80, 30), (18, 92)], col)
        for i in range(4):
            x, y = 62 - i * 10, 38 + i * 12
            c.line(x - 4, y - 4, x + 2, y + 2, 1.5, shade(col, 0.75))


def d_shape(c, kind, col):
    grad = vgrad(0, 100, shade(col, 1.4), shade(col, 0.8))
    shadow = rgb(0x000000, 60)

    def both(pts):
        c.polygon(shift_pts(pts, 3, 3), shadow)
        c.polygon(pts, grad)
    if kind == "circle":
        c.circle(53, 53, 42, shadow)
        c.circle(50, 50, 42, grad)
    elif kind == "square":
        both([(10, 10), (88, 10), (88, 88), (10, 88)])
    elif kind == "triangle":
        both([(50, 8), (92, 88), (8, 88)])
    elif kind == "star":
        both(star_pts(50, 53, 46, 19, 5))
    elif kind == "star6":
        both(star_pts(50, 50, 46, 26, 6))
    elif kind in ("hexagon", "octagon", "pentagon"):
        n = {"hexagon": 6, "octagon": 8, "pentagon": 5}[kind]
        both(regular_pts(50, 52 if n == 5 else 50, 44, n, -90 if n != 8 else -67.5))
    elif kind == "diamond":
        both([(50, 6), (88, 50), (50, 94), (12, 50)])
    elif kind == "heart":
        both(heart_pts(50, 52, 90))
    elif kind == "crescent":
        c.clip = lambda x, y: (x - 66) ** 2 + (y - 40) ** 2 > 34 ** 2
        c.circle(50, 50, 42, grad)
        c.clip = None
    elif kind == "cross":
        both([(36, 8), (64, 8), (64, 36), (92, 36), (92, 64), (64, 64), (64, 92),
              (36, 92), (36, 64), (8, 64), (8, 36), (36, 36)])
    elif kind == "ring":
        c.ring(50, 50, 42, 42, 14, grad)


def d_sport(c, kind, col):
    if kind == "soccer":
        dark, seam = rgb(0x222222), rgb(0x555555)
        c.circle(50, 50, 44, WHITE)
        c.clip = lambda x, y: (x - 50) ** 2 + (y - 50) ** 2 < 43 ** 2
        c.polygon(regular_pts(50, 50, 14, 5), dark)
        for i in range(5):
            a = -90 + 72 * i
            r = math.radians(a)
            c.line(50 + 14 * math.cos(r), 50 + 14 * math.sin(r),
                   50 + 30 * math.cos(r), 50 + 30 * math.sin(r), 1.6, seam)
            c.polygon(regular_pts(50 + 42 * math.cos(r), 50 + 42 * math.sin(r), 13, 5, a + 180), dark)
            m = math.radians(a + 36)
            c.line(50 + 34 * math.cos(m), 50 + 34 * math.sin(m),
                   50 + 44 * math.cos(m), 50 + 44 * math.sin(m), 1.6, seam)
        c.clip = None
        c.ring(50, 50, 44, 44, 2, seam)
    elif kind == "basketball":
        c.circle(50, 50, 44, col)
        c.clip = lambda x, y: (x - 50) ** 2 + (y - 50) ** 2 < 44 ** 2
        c.line(6, 50, 94, 50, 2.5, BLACK, caps=False)
        c.line(50, 6, 50, 94, 2.5, BLACK, caps=False)
        c.ring(0, 50, 34, 44, 2.5, BLACK)
        c.ring(100, 50, 34, 44, 2.5, BLACK)
        c.clip = None
        c.ring(50, 50, 44, 44, 2, shade(col, 0.6))
    elif kind in ("tennis", "baseball"):
        c.circle(50, 50, 44, col)
        seam = WHITE if kind == "tennis" else rgb(0xD0312D)
        c.clip = lambda x, y: (x - 50) ** 2 + (y - 50) ** 2 < 44 ** 2
        c.ring(2, 50, 30, 30, 4 if kind == "tennis" else 2, seam)
        c.ring(98, 50, 30, 30, 4 if kind == "tennis" else 2, seam)
        if kind == "baseball":
            for cx, s in ((2, 1), (98, -1)):
                for i in range(-4, 5):
                    a = math.radians(i * 16)
                    x, y = cx + s * 30 * math.cos(a), 50 + 30 * math.sin(a)
                    c.line(x - 3, y - 2, x + 3, y + 2, 1.4, seam)
        c.clip = None
        c.ring(50, 50, 44, 44, 1.5, shade(col, 0.7))
    elif kind == "beachball":
        cols = (col, WHITE, rgb(0xF2C230), WHITE, rgb(0x3D8FD9), WHITE)
        for i in range(6):
            c.sector(50, 50, 44, i * 60 - 90, i * 60 - 30, cols[i])
        c.circle(50, 50, 7, WHITE)
        c.ring(50, 50, 44, 44, 1.5, rgb(0x909090))
    elif kind == "trophy":
        dark = shade(col, 0.7)
        c.ring(22, 32, 14, 16, 5, dark)
        c.ring(78, 32, 14, 16, 5, dark)
        c.polygon([(20, 10), (80, 10), (76, 36), (62, 56), (38, 56), (24, 36)], col)
        c.rect(44, 56, 56, 74, dark)
        c.rect(30, 74, 70, 82, col)
        c.rect(24, 82, 76, 94, rgb(0x5A3A22))
        c.polygon(star_pts(50, 30, 11, 5, 5), shade(col, 1.35))
        c.rect(30, 12, 36, 40, rgb(0xFFFFFF, 90))
    elif kind == "medal":
        c.polygon([(28, 2), (44, 2), (58, 50), (42, 50)], rgb(0x2E6FD0))
        c.polygon([(56, 2), (72, 2), (58, 50), (42, 50)], rgb(0xD0312D))
        c.circle(50, 66, 28, shade(col, 0.75))
        c.circle(50, 66, 23, col)
        c.polygon(star_pts(50, 67, 15, 6.5, 5), shade(col, 0.8))
    elif kind == "golf":
        c.ellipse(50, 84, 44, 12, rgb(0x4BAE4F))
        c.ellipse(58, 84, 7, 2.5, rgb(0x1E3A1E))
        c.line(58, 84, 58, 8, 2.5, rgb(0xEDEDED))
        c.polygon([(58, 8), (88, 18), (58, 28)], col)
        c.circle(30, 80, 4, WHITE)
    elif kind == "bowling":
        prof = [(0, 4), (6, 6), (10, 10), (12, 18), (10, 26), (7, 32), (8, 38), (14, 50),
                (18, 62), (18, 72), (15, 84), (10, 94)]
        pts = [(50 + w, y) for w, y in prof] + [(50 - w, y) for w, y in reversed(prof)]
        c.polygon(pts, WHITE)
        c.clip = lambda x, y: 30 < y < 34 or 36 < y < 40
        c.polygon(pts, col)
        c.clip = None
        c.polyline(pts + [pts[0]], 1.2, rgb(0x909090))
    elif kind == "stopwatch":
        c.rect(44, 4, 56, 14, rgb(0x707070))
        c.polygon(rotate_pts([(74, 14), (80, 14), (80, 22), (74, 22)], 40, 77, 18), rgb(0x707070))
        c.circle(50, 56, 40, col)
        c.circle(50, 56, 33, WHITE)
        for i in range(12):
            a = math.radians(i * 30)
            c.line(50 + 27 * math.cos(a), 56 + 27 * math.sin(a),
                   50 + 31 * math.cos(a), 56 + 31 * math.sin(a), 1.6, rgb(0x404040))
        c.line(50, 56, 64, 34, 2.5, rgb(0xD0312D))
        c.circle(50, 56, 3, rgb(0x404040))
    elif kind == "racket":
        c.line(30, 72, 8, 96, 7, rgb(0x5A3A22))
        c.line(36, 66, 28, 76, 5, col)
        c.clip = lambda x, y: ((x - 56) / 30.0) ** 2 + ((y - 40) / 30.0) ** 2 < 1
        for i in range(-6, 7):
            c.line(56 + i * 5, 6, 56 + i * 5, 74, 0.9, rgb(0xD0D0D0), caps=False)
            c.line(22, 40 + i * 5, 90, 40 + i * 5, 0.9, rgb(0xD0D0D0), caps=False)
        c.clip = None
        c.ring(56, 40, 32, 32, 5, col)
        c.circle(86, 80, 8, rgb(0xD4E157))


def d_cloud(c, col, cx=50, cy=50, s=1.0):
    for x, y, r in ((-22, 6, 16), (-6, -8, 20), (16, -2, 17), (28, 10, 12)):
        c.circle(cx + x * s, cy + y * s, r * s, col)
    c.rrect(cx - 34 * s, cy + 4 * s, cx + 40 * s, cy + 22 * s, 9 * s, col)


def d_weather(c, kind, col):
    sun = rgb(0xF7B731)
    if kind in ("sun", "partly"):
        cx, cy = (50, 50) if kind == "sun" else (62, 34)
        for i in range(12):
            a = math.radians(i * 30)
            pts = [(cx + 28 * math.cos(a - 0.16), cy + 28 * math.sin(a - 0.16)),
                   (cx + 44 * math.cos(a), cy + 44 * math.sin(a)),
                   (cx + 28 * math.cos(a + 0.16), cy + 28 * math.sin(a + 0.16))]
            c.polygon(pts, rgb(0xF79F1F))
        c.circle(cx, cy, 25, sun)
        c.circle(cx - 8, cy - 8, 8, rgb(0xFFFFFF, 80))
        if kind == "partly":
            d_cloud(c, rgb(0x9AA5B1), 42, 66, 1.05)
            d_cloud(c, WHITE, 40, 64, 1.0)
    elif kind in ("cloud", "rain", "snow", "storm"):
        body = {"cloud": WHITE, "rain": rgb(0xB8C2CC), "snow": rgb(0xD5DEE6), "storm": rgb(0x6B7783)}[kind]
        if kind == "rain":
            for i in range(5):
                x = 24 + i * 13
                c.line(x, 72, x - 5, 90, 3, col)
        if kind == "snow":
            for i in range(5):
                x, y = 24 + i * 13, 80 + (i % 2) * 8
                for a in (0, 60, 120):
                    r = math.radians(a)
                    c.line(x - 5 * math.cos(r), y - 5 * math.sin(r), x + 5 * math.cos(r), y + 5 * math.sin(r), 1.6, col)
        if kind == "storm":
            c.polygon([(52, 56), (36, 80), (48, 80), (40, 98), (66, 70), (53, 70), (62, 56)], sun)
        d_cloud(c, shade(body, 0.75), 52, 44, 1.05)
        d_cloud(c, body, 50, 42, 1.0)
    elif kind == "rainbow":
        cols = (0xE53935, 0xFB8C00, 0xFDD835, 0x43A047, 0x1E88E5, 0x5E35B1)
        c.clip = lambda x, y: y < 70
        for i, h in enumerate(cols):
            c.ring(50, 70, 46 - i * 5, 46 - i * 5, 5.2, rgb(h))
        c.clip = None
        d_cloud(c, WHITE, 16, 64, 0.55)
        d_cloud(c, WHITE, 84, 64, 0.55)
    elif kind == "moon":
        c.clip = lambda x, y: (x - 64) ** 2 + (y - 38) ** 2 > 32 ** 2
        c.circle(46, 54, 38, col)
        c.clip = None
        for x, y, r in ((76, 74, 6), (86, 50, 3.5), (64, 86, 3)):
            c.polygon(star_pts(x, y, r, r * 0.4, 4), rgb(0xFFE066))
    elif kind == "snowflake":
        for k in range(6):
            a = math.radians(k * 60 - 90)
            ex, ey = 50 + 44 * math.cos(a), 50 + 44 * math.sin(a)
            c.line(50, 50, ex, ey, 4, col)
            for d in (20, 32):
                bx, by = 50 + d * math.cos(a), 50 + d * math.sin(a)
                for s in (-1, 1):
                    b = a + s * math.radians(45)
                    c.line(bx, by, bx + 11 * math.cos(b), by + 11 * math.sin(b), 3, col)
        c.circle(50, 50, 6, col)
    elif kind == "umbrella":
        c.sector(50, 46, 44, 180, 360, col)
        for i in range(4):
            c.circle(17 + i * 22, 46, 11, CLEAR)
        c.clip = lambda x, y: y < 46 and (x - 50) ** 2 + (y - 46) ** 2 < 44 ** 2
        for x in (28, 72):
            c.line(50, 2, x, 44, 1.5, shade(col, 0.7))
        c.clip = None
        c.polyline([(50, 4), (50, 84)], 3.5, rgb(0x5A3A22))
        c.arc(59, 84, 9, 3.5, 0, 180, rgb(0x5A3A22))
        c.circle(50, 3, 3, rgb(0x5A3A22))
    elif kind == "windy":
        for y, l in ((30, 66), (50, 80), (70, 54)):
            c.line(10, y, 10 + l, y, 4, col)
            c.arc(10 + l, y - 8, 10, 4, 270, 150, col)
    elif kind == "thermometer":
        c.rrect(40, 6, 60, 76, 10, rgb(0x909090))
        c.rrect(43, 9, 57, 76, 7, WHITE)
        c.circle(50, 80, 15, rgb(0x909090))
        c.circle(50, 80, 12, col)
        c.rect(46, 30, 54, 80, col)
        for i in range(6):
            c.line(60, 14 + i * 10, 68, 14 + i * 10, 1.5, rgb(0x606060))
    elif kind == "fog":
        for i in range(5):
            x0 = 10 + (i % 2) * 10
            c.line(x0, 22 + i * 14, x0 + 70, 22 + i * 14, 6, col)


IMAGE_FOLDERS = [
    ("Animals", [
        ("Cat Grey", d_cat, (rgb(0x9EA3A8), rgb(0x7BC043))),
        ("Cat Ginger", d_cat, (rgb(0xE8964A), rgb(0x6FA8DC))),
        ("Fish Orange", d_fish, (rgb(0xF7931E), rgb(0xF15A24))),
        ("Fish Blue", d_fish, (rgb(0x3D8FD9), rgb(0x1F5FA8))),
        ("Fish Striped", d_fish, (rgb(0xF26B1D), rgb(0x303030), True)),
        ("Bird Blue", d_bird, (rgb(0x4A90D9), rgb(0x2D64A8))),
        ("Bird Red", d_bird, (rgb(0xD63B2F), rgb(0x8E2219))),
        ("Butterfly Purple", d_butterfly, (rgb(0x8E5BC9), rgb(0xF2C230))),
        ("Butterfly Yellow", d_butterfly, (rgb(0xF2C230), rgb(0xE8773D))),
        ("Butterfly Blue", d_butterfly, (rgb(0x3D8FD9), rgb(0x9BE0F2))),
        ("Ladybird", d_ladybird, (rgb(0xD9231D),)),
        ("Ladybird Yellow", d_ladybird, (rgb(0xF2B705),)),
        ("Snail", d_snail, (rgb(0xC98A4B), rgb(0xB7C98A))),
    ]),
    ("Arrows", [
        ("Arrow Right", d_arrow, (rgb(0x2E86DE), 0)),
        ("Arrow Left", d_arrow, (rgb(0x2E86DE), 180)),
        ("Arrow Up", d_arrow, (rgb(0x27AE60), -90)),
        ("Arrow Down", d_arrow, (rgb(0x27AE60), 90)),
        ("Arrow Up Right", d_arrow, (rgb(0xE67E22), -45)),
        ("Arrow Down Right", d_arrow, (rgb(0xC0392B), 45)),
        ("Double Arrow", d_arrow, (rgb(0x8E44AD), 0, "double")),
        ("Double Arrow Vertical", d_arrow, (rgb(0x8E44AD), 90, "double")),
        ("Chevron Right", d_arrow, (rgb(0x16A085), 0, "chevron")),
        ("Chevron Left", d_arrow, (rgb(0x16A085), 180, "chevron")),
        ("Curved Arrow", d_curved_arrow, (rgb(0x2E86DE),)),
        ("Curved Arrow Back", d_curved_arrow, (rgb(0xE67E22), True)),
        ("Circular Arrows", d_curved_arrow, (rgb(0x27AE60), False, True)),
    ]),
    ("Borders", [
        ("Simple Frame", d_border, ("simple", rgb(0x34495E), WHITE)),
        ("Double Line", d_border, ("double", rgb(0x1F5FA8), rgb(0x1F5FA8))),
        ("Rounded Frame", d_border, ("rounded", rgb(0x8E44AD), WHITE)),
        ("Dotted Frame", d_border, ("dotted", rgb(0xC0392B), WHITE)),
        ("Checker Border", d_border, ("checker", rgb(0x222222), rgb(0xEEEEEE))),
        ("Corner Flourish", d_border, ("corner", rgb(0x7D5A2E), rgb(0xC89B2A))),
        ("Stripe Border", d_border, ("stripe", rgb(0xD35400), rgb(0xF6D6B8))),
        ("Zigzag Border", d_border, ("zigzag", rgb(0x16A085), rgb(0x0E6655))),
        ("Dashed Frame", d_border, ("dashed", rgb(0x2C3E50), WHITE)),
        ("Bead Border", d_border, ("bead", rgb(0x2E86DE), rgb(0xF2C230))),
        ("Shadow Frame", d_border, ("shadow", rgb(0x2E4053), rgb(0xAEB6BF))),
        ("Wave Border", d_border, ("wave", rgb(0x2E86DE), rgb(0x16A085))),
        ("Diamond Border", d_border, ("diamond", rgb(0xB03A2E), rgb(0xF2C230))),
    ]),
    ("Buildings", [
        ("House", d_building, ("house", rgb(0xF2E3C6), rgb(0xB03A2E))),
        ("House Blue", d_building, ("house", rgb(0xAFCBE8), rgb(0x34495E))),
        ("Cottage", d_building, ("cottage", rgb(0xFFF4DC), rgb(0xC9A55A))),
        ("Apartment Block", d_building, ("apartments", rgb(0xD8B89A), rgb(0x6D4C41))),
        ("Skyscraper", d_building, ("skyscraper", rgb(0x5D6D7E), rgb(0x34495E))),
        ("Office Towers", d_building, ("towers", rgb(0x85929E), rgb(0x34495E))),
        ("Church", d_building, ("church", rgb(0xE5E1D8), rgb(0x5D6D7E))),
        ("Barn", d_building, ("barn", rgb(0xB03A2E), rgb(0x6E2C00))),
        ("Lighthouse", d_building, ("lighthouse", rgb(0xD63B2F), rgb(0x2C3E50))),
        ("Castle", d_building, ("castle", rgb(0xB8B2A7), rgb(0x1F5FA8))),
        ("Factory", d_building, ("factory", rgb(0xA9746E), rgb(0x4D4D4D))),
        ("Shop", d_building, ("shop", rgb(0xF5EBDD), rgb(0x27AE60))),
        ("Town Hall", d_building, ("hall", rgb(0xD5CBB8), rgb(0x8D8373))),
    ]),
    ("Business", [
        ("Bar Chart", d_business, ("bars", rgb(0x2E86DE))),
        ("Bar Chart Growth", d_business, ("growth", rgb(0x2E86DE))),
        ("Pie Chart", d_business, ("pie", rgb(0x2E86DE))),
        ("Pie Chart Quarters", d_business, ("quarters", rgb(0x8E44AD))),
        ("Line Graph", d_business, ("line", rgb(0x2E86DE))),
        ("Briefcase", d_business, ("briefcase", rgb(0x8B5A2B))),
        ("Clock", d_business, ("clock", rgb(0x34495E))),
        ("Calendar", d_business, ("calendar", rgb(0xC0392B))),
        ("Envelope", d_business, ("envelope", rgb(0xC9A55A))),
        ("Coins", d_business, ("coins", rgb(0xF2C230))),
        ("Light Bulb", d_business, ("bulb", rgb(0xF2C230))),
        ("Target", d_business, ("target", rgb(0xD0312D))),
        ("Presentation Board", d_business, ("board", rgb(0x2E86DE))),
    ]),
    ("Celebrations", [
        ("Balloons", d_celebration, ("balloons", rgb(0xE74C3C))),
        ("Balloon Red", d_celebration, ("balloon", rgb(0xE74C3C))),
        ("Balloon Blue", d_celebration, ("balloon", rgb(0x2E86DE))),
        ("Heart Balloon", d_celebration, ("heart", rgb(0xE84A7F))),
        ("Gift Box", d_celebration, ("gift", rgb(0xC0392B))),
        ("Gift Box Green", d_celebration, ("gift", rgb(0x27AE60))),
        ("Party Hat", d_celebration, ("hat", rgb(0x8E44AD))),
        ("Birthday Cake", d_celebration, ("cake", rgb(0xE84A7F))),
        ("Star Burst", d_celebration, ("starburst", rgb(0xF39C12))),
        ("Fireworks", d_celebration, ("fireworks", rgb(0xE74C3C))),
        ("Confetti", d_celebration, ("confetti", rgb(0xE74C3C))),
        ("Bell", d_celebration, ("bell", rgb(0xF2C230))),
        ("Streamers", d_celebration, ("streamers", rgb(0xE74C3C))),
    ]),
    ("Flowers", [
        ("Daisy", d_flower, ("daisy", WHITE, rgb(0xF2C230))),
        ("Daisy Pink", d_flower, ("daisy", rgb(0xF5A3C7), rgb(0xF2C230))),
        ("Sunflower", d_flower, ("sunflower", rgb(0xF7C518), rgb(0x6D4C2F))),
        ("Poppy", d_flower, ("poppy", rgb(0xE53935), rgb(0x222222))),
        ("Marigold", d_flower, ("marigold", rgb(0xF39C12), rgb(0xD35400))),
        ("Cornflower", d_flower, ("cornflower", rgb(0x3D6FD9), rgb(0x1A2F7A))),
        ("Violet", d_flower, ("violet", rgb(0x8E44AD), rgb(0xF2C230))),
        ("Forget-me-not", d_flower, ("forgetmenot", rgb(0x7FB3F5), rgb(0xF7E26B))),
        ("Tulip Red", d_flower, ("tulip", rgb(0xE53935), None)),
        ("Tulip Yellow", d_flower, ("tulip", rgb(0xF7C518), None)),
        ("Tulip Purple", d_flower, ("tulip", rgb(0x8E44AD), None)),
        ("Leaf", d_flower, ("leaf", rgb(0x4BAE4F), None)),
        ("Flower Pot", d_flower, ("pot", rgb(0xE84A7F), rgb(0xF2C230))),
    ]),
    ("Food", [
        ("Apple Red", d_food, ("apple", rgb(0xD63B2F))),
        ("Apple Green", d_food, ("apple", rgb(0x8BC34A))),
        ("Pear", d_food, ("pear", rgb(0xC5D94A))),
        ("Cherries", d_food, ("cherries", rgb(0xB71C1C))),
        ("Orange", d_food, ("orange", rgb(0xF7931E))),
        ("Orange Slice", d_food, ("slice", rgb(0xF7931E))),
        ("Watermelon", d_food, ("watermelon", rgb(0xE8464A))),
        ("Grapes", d_food, ("grapes", rgb(0x7E57C2))),
        ("Cheese", d_food, ("cheese", rgb(0xF7D154))),
        ("Ice Cream", d_food, ("icecream", rgb(0xF5A3C7))),
        ("Lollipop", d_food, ("lollipop", rgb(0xE84A7F))),
        ("Coffee Cup", d_food, ("coffee", rgb(0x2E86DE))),
        ("Carrot", d_food, ("carrot", rgb(0xF57C00))),
    ]),
    ("Shapes", [
        ("Circle", d_shape, ("circle", rgb(0x2E86DE))),
        ("Square", d_shape, ("square", rgb(0xE74C3C))),
        ("Triangle", d_shape, ("triangle", rgb(0x27AE60))),
        ("Star", d_shape, ("star", rgb(0xF2B705))),
        ("Six-Pointed Star", d_shape, ("star6", rgb(0x2E86DE))),
        ("Hexagon", d_shape, ("hexagon", rgb(0x8E44AD))),
        ("Octagon", d_shape, ("octagon", rgb(0xC0392B))),
        ("Pentagon", d_shape, ("pentagon", rgb(0x16A085))),
        ("Diamond", d_shape, ("diamond", rgb(0xE67E22))),
        ("Heart", d_shape, ("heart", rgb(0xE84A7F))),
        ("Crescent", d_shape, ("crescent", rgb(0xF2C230))),
        ("Cross", d_shape, ("cross", rgb(0xD0312D))),
        ("Ring", d_shape, ("ring", rgb(0x34495E))),
    ]),
    ("Sports", [
        ("Soccer Ball", d_sport, ("soccer", WHITE)),
        ("Basketball", d_sport, ("basketball", rgb(0xE8772E))),
        ("Tennis Ball", d_sport, ("tennis", rgb(0xC6DA3A))),
        ("Baseball", d_sport, ("baseball", rgb(0xF7F3EA))),
        ("Beach Ball", d_sport, ("beachball", rgb(0xE74C3C))),
        ("Trophy Gold", d_sport, ("trophy", rgb(0xF2C230))),
        ("Trophy Silver", d_sport, ("trophy", rgb(0xC0C6CC))),
        ("Medal Gold", d_sport, ("medal", rgb(0xF2C230))),
        ("Medal Bronze", d_sport, ("medal", rgb(0xCD7F32))),
        ("Golf Flag", d_sport, ("golf", rgb(0xE74C3C))),
        ("Bowling Pin", d_sport, ("bowling", rgb(0xD0312D))),
        ("Stopwatch", d_sport, ("stopwatch", rgb(0x34495E))),
        ("Tennis Racket", d_sport, ("racket", rgb(0x2E86DE))),
    ]),
    ("Weather", [
        ("Sun", d_weather, ("sun", None)),
        ("Cloud", d_weather, ("cloud", None)),
        ("Rain", d_weather, ("rain", rgb(0x2E86DE))),
        ("Snow", d_weather, ("snow", rgb(0x5DADE2))),
        ("Thunderstorm", d_weather, ("storm", None)),
        ("Partly Cloudy", d_weather, ("partly", None)),
        ("Rainbow", d_weather, ("rainbow", None)),
        ("Moon", d_weather, ("moon", rgb(0xF5D76E))),
        ("Snowflake", d_weather, ("snowflake", rgb(0x5DADE2))),
        ("Umbrella", d_weather, ("umbrella", rgb(0xC0392B))),
        ("Windy", d_weather, ("windy", rgb(0x7F8C8D))),
        ("Thermometer", d_weather, ("thermometer", rgb(0xE74C3C))),
        ("Fog", d_weather, ("fog", rgb(0xAAB7B8))),
    ]),
]


def render_picture(draw, args, size, fmt, flatten):
    """Draws one clip-art picture and returns the encoded file bytes plus
    what the pixel data should decode to."""
    ss = 3
    c = Canvas(size, size, ss, size / 100.0)
    if flatten:
        c.rrect(1, 1, 99, 99, 10, rgb(0xF4F7FB))
    draw(c, *args)
    pixels = c.pixels()
    if fmt == "gif":
        return gif_from_pixels(pixels)
    return png_from_pixels(pixels, flatten)


def check_picture(data, fmt, size, expected):
    if fmt == "png":
        info, kinds, rows = decode_png(data)
        if (info["width"], info["height"]) != (size, size):
            raise ValueError("PNG size is %dx%d" % (info["width"], info["height"]))
        if kinds != ["IHDR", "IDAT", "IEND"]:
            raise ValueError("PNG chunks %r" % kinds)
        if rows != expected:
            raise ValueError("PNG pixels differ after decoding")
    else:
        w, h, _gct, _t, pixels = decode_gif(data)
        if (w, h) != (size, size):
            raise ValueError("GIF size is %dx%d" % (w, h))
        if pixels != expected:
            raise ValueError("GIF pixels differ after LZW decoding")


# Small pictures that live among the text clips.

def d_bullet(c, kind, col):
    if kind == "round":
        c.circle(50, 50, 40, shade(col, 0.7))
        c.circle(50, 50, 36, vgrad(14, 86, shade(col, 1.5), col))
        c.ellipse(40, 36, 12, 8, rgb(0xFFFFFF, 150))
    else:
        c.rect(12, 12, 88, 88, shade(col, 0.7))
        c.rect(16, 16, 84, 84, vgrad(16, 84, shade(col, 1.5), col))


def d_divider(c, kind, col):
    if kind == "line":
        c.line(4, 50, 96, 50, 6, col)
        c.polygon([(50, 30), (60, 50), (50, 70), (40, 50)], col)
    else:
        c.polyline([(2 + i * 2, 50 + 18 * math.sin(i * 0.42)) for i in range(48)], 6, col)


def d_check(c, col):
    c.polyline([(14, 54), (38, 78), (88, 20)], 14, col)


def d_seal(c, col):
    c.polygon(star_pts(50, 50, 46, 40, 24), shade(col, 0.8))
    c.circle(50, 50, 36, col)
    c.ring(50, 50, 31, 31, 2, rgb(0xFFFFFF, 170))
    c.polygon(star_pts(50, 50, 18, 8, 5), rgb(0xFFFFFF, 220))


def d_corner(c, col):
    c.line(6, 6, 94, 6, 4, col)
    c.line(6, 6, 6, 94, 4, col)
    c.ring(30, 30, 18, 18, 4, col)
    c.arc(30, 30, 34, 3, 20, 70, col)
    c.circle(30, 30, 6, col)
    c.polyline([(48, 14), (64, 20), (80, 14)], 3, col)
    c.polyline([(14, 48), (20, 64), (14, 80)], 3, col)


# ---------------------------------------------------------------------------
# Text content.

def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", CRLF)


def rtf_escape(s):
    out = []
    for ch in s:
        o = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif o < 128:
            out.append(ch)
        else:
            out.append("\\'%02x" % ch.encode("cp1252")[0])
    return "".join(out)


RTF_FONTS = (("roman", "Times New Roman"), ("swiss", "Arial"), ("modern", "Courier New"),
             ("roman", "Georgia"), ("swiss", "Verdana"))
# Colour table entries; \\cfN refers to entry N (entry 0 is the automatic colour).
RTF_COLOURS = ((31, 73, 125), (192, 0, 0), (89, 89, 89), (0, 112, 60), (217, 217, 217))


def rtf_doc(body, lang=1033):
    fonts = "".join("{\\f%d\\f%s\\fcharset0 %s;}" % (i, fam, name)
                    for i, (fam, name) in enumerate(RTF_FONTS))
    colours = ";".join("\\red%d\\green%d\\blue%d" % c for c in RTF_COLOURS)
    head = ("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang%d\n"
            "{\\fonttbl%s}\n"
            "{\\colortbl ;%s;}\n"
            "{\\info{\\author Quilvane Software}{\\operator Quilvane Software}}\n"
            "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\n"
            "\\viewkind4\\uc1\n" % (lang, fonts, colours))
    return crlf(head + body + "}\n")


def para(text, font=0, size=12, bold=False, italic=False, align="l", colour=0,
         after=120, before=0, indent=0):
    fmt = "\\pard\\q%s\\sb%d\\sa%d" % (align, before, after)
    if indent:
        fmt += "\\li%d" % indent
    fmt += "\\f%d\\fs%d" % (font, size * 2)
    inner = rtf_escape(text)
    if bold:
        inner = "\\b " + inner + "\\b0 "
    if italic:
        inner = "\\i " + inner + "\\i0 "
    if colour:
        inner = "\\cf%d " % colour + inner + "\\cf0 "
    return "%s %s\\par\n" % (fmt, inner)


def rtf_table(rows, widths, header=True, font=1, size=10):
    out = []
    for r, cells in enumerate(rows):
        out.append("\\trowd\\trgaph108\\trleft-108")
        edge = 0
        for w in widths:
            edge += w
            shade_cell = "\\clcbpat5" if header and r == 0 else ""
            out.append("\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                       "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10%s\\cellx%d" % (shade_cell, edge))
        out.append("\n\\pard\\intbl\\f%d\\fs%d " % (font, size * 2))
        for text in cells:
            t = rtf_escape(text)
            if header and r == 0:
                t = "\\b " + t + "\\b0 "
            out.append(t + "\\cell ")
        out.append("\\row\n")
    out.append("\\pard\\par\n")
    return "".join(out)


LICENSE = """QUILVANE WORD PROCESSOR
END-USER LICENCE AGREEMENT

Copyright (c) 2024-2025 Quilvane Software. All rights reserved.

IMPORTANT - READ CAREFULLY: This End-User Licence Agreement ("Agreement") is a
legal agreement between you (either an individual or a single entity) and
Quilvane Software ("Quilvane") for the Quilvane Word Processor software
product, which includes computer software, templates, clip art, spelling and
hyphenation dictionaries, sound schemes and printed or electronic
documentation ("the Software"). By installing, copying or otherwise using the
Software you agree to be bound by the terms of this Agreement. If you do not
agree to these terms, do not install or use the Software; click "Cancel" in
the setup program to leave it without installing anything.

1. GRANT OF LICENCE

   Quilvane grants you a non-exclusive, non-transferable licence to install
   and use one copy of the Software on a single computer. The primary user of
   that computer may also install one further copy on a portable computer for
   his or her own use, provided that both copies are never in use at the same
   time.

2. TEMPLATES AND CLIP LIBRARY

   You may use, modify and include the document templates, phrases, tables
   and pictures supplied in the Clip Library in documents that you create
   with the Software, and you may distribute such documents freely. You may
   not sell, license or distribute the templates or the Clip Library on their
   own, as part of another collection of clip art, or in any product that
   competes with the Software.

3. RESTRICTIONS

   You may not:
   (a) reverse engineer, decompile or disassemble the Software, except and
       only to the extent that applicable law expressly permits it despite
       this limitation;
   (b) rent, lease, lend or provide commercial hosting services with the
       Software;
   (c) remove or alter any copyright notice, trade mark or other proprietary
       mark contained in the Software;
   (d) separate the component parts of the Software for use on more than one
       computer.

4. UPGRADES

   If the Software is labelled as an upgrade, you must be properly licensed
   to use a product identified by Quilvane as eligible for the upgrade. The
   Software labelled as an upgrade replaces the product that formed the basis
   of your eligibility.

5. COPYRIGHT

   All title and copyrights in and to the Software, including but not limited
   to any images, text and templates incorporated into it, the accompanying
   printed materials and any copies of the Software, are owned by Quilvane or
   its suppliers. The Software is protected by copyright laws and
   international treaty provisions.

6. TERMINATION

   Without prejudice to any other rights, Quilvane may terminate this
   Agreement if you fail to comply with its terms and conditions. In such an
   event you must destroy all copies of the Software and all of its
   component parts. You may end this Agreement at any time by removing the
   Software from your computer.

7. LIMITED WARRANTY

   Quilvane warrants that the Software will perform substantially in
   accordance with the accompanying documentation for a period of ninety (90)
   days from the date of receipt. Any implied warranties on the Software are
   limited to ninety (90) days, to the extent that the law allows such a
   limitation.

8. NO OTHER WARRANTIES

   TO THE MAXIMUM EXTENT PERMITTED BY APPLICABLE LAW, QUILVANE AND ITS
   SUPPLIERS DISCLAIM ALL OTHER WARRANTIES AND CONDITIONS, EITHER EXPRESS OR
   IMPLIED, INCLUDING BUT NOT LIMITED TO IMPLIED WARRANTIES OF
   MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE, TITLE AND
   NON-INFRINGEMENT, WITH REGARD TO THE SOFTWARE.

9. LIMITATION OF LIABILITY

   TO THE MAXIMUM EXTENT PERMITTED BY APPLICABLE LAW, IN NO EVENT SHALL
   QUILVANE OR ITS SUPPLIERS BE LIABLE FOR ANY SPECIAL, INCIDENTAL, INDIRECT
   OR CONSEQUENTIAL DAMAGES WHATSOEVER (INCLUDING, WITHOUT LIMITATION,
   DAMAGES FOR LOSS OF BUSINESS PROFITS, BUSINESS INTERRUPTION, LOSS OF
   BUSINESS INFORMATION OR ANY OTHER PECUNIARY LOSS) ARISING OUT OF THE USE
   OF OR INABILITY TO USE THE SOFTWARE, EVEN IF QUILVANE HAS BEEN ADVISED OF
   THE POSSIBILITY OF SUCH DAMAGES. QUILVANE'S ENTIRE LIABILITY UNDER ANY
   PROVISION OF THIS AGREEMENT SHALL BE LIMITED TO THE AMOUNT ACTUALLY PAID
   BY YOU FOR THE SOFTWARE.

10. GENERAL

   This Agreement is the entire agreement between you and Quilvane relating
   to the Software and supersedes all prior or contemporaneous oral or
   written communications, proposals and representations. If any provision
   of this Agreement is held to be unenforceable, the remaining provisions
   remain in full force and effect.

Should you have any questions concerning this Agreement, please write to:

   Quilvane Software
   Customer Services
   PO Box 4417
   Harrowgate Park
"""


# --- word lists ------------------------------------------------------------

NOUNS = """
account address advice afternoon agreement answer apple area arm army art
article attempt aunt baby back bag ball bank base basket bath bed bell bird
birthday blade board boat body bone book border bottle box boy branch bread
bridge brother brush bucket building button cake camera car card carpet cart
case cat chain chair chance change chapter cheese child church circle city
class clock cloud coat coin collar committee company computer copy corner
cost country cover cow crowd cup curtain cushion customer day desk detail
dinner direction discussion distance doctor document dog door drawer dream
dress drink driver ear edge egg end engine evening event example eye face
fact family farm father feather field figure finger fire fish flag floor
flower fold font foot form fork frame friend garden gate girl glass glove
goat government grain grass group guide hair hammer hand hat head
heart hill history hole home hook horse hospital hour house idea inch island
jewel journey judge kettle key kitchen knee knife knot lamp language leaf
leg letter level library line list lock machine manager map market meal
meeting member message minute mirror moment money monkey month morning
mother mountain mouse mouth name nation neck needle nest night nose note
number office orange order page pair paper paragraph parcel parent party
pencil person picture piece pin pipe place plane plant plate pocket point
potato price printer problem question rabbit rail reason record report
request river road rock roof room rule school scissors screen sea season
seat secretary sentence shape sheep shelf ship shirt shoe side sign sister
size skin skirt sky snake song sound spoon spring square stamp star station
stem stick stocking stomach store story street string sun system table tail
teacher team template thing thread throat thumb ticket time title toe tongue
tooth town train tray tree trick umbrella uncle valley view village voice
wall watch water wave week wheel whistle window wing winter woman word world
worm year
"""

VERBS = """
accept add agree allow answer appear arrive ask attach attend belong borrow
call change check clean climb close collect compare complain connect contain
copy correct count cover cross decide deliver describe design discover dress
enjoy enter explain fill finish fix follow format help hope hyphenate imagine
improve include insert install introduce invite join jump kick knock laugh
learn like listen live look love manage mark measure mention miss move need
notice offer open order paint pass pick place plan play point post prefer
prepare present print promise protect provide pull push reach receive record
remember repeat reply report return save search select share show sort start
stay stop suggest support talk thank touch try turn type underline
use visit wait walk want wash watch wish wonder work worry
"""

ADJECTIVES = """
black blue bold bright broad calm cheap clean clear close cold cool dark
deep dry early easy fair fast fine firm fresh full glad great green hard
high kind large late light long loud low narrow near new nice old plain poor
quick quiet rich rough round sad safe sharp short simple slow small smooth
soft strong sweet tall thick thin tight warm weak white wide wild young
"""

EXTRA_WORDS = """
about above across after again against almost alone along already also
although always among and another any anyone anything around because before
behind below beneath beside between beyond both but during each either
enough every everyone everything except few for from he her here hers
herself him himself his how however into it its itself just many me mine
more most much my myself neither never next nobody none nor not nothing now
of off often on once only onto or other our ours out over perhaps please
quite rather she since so some someone something sometimes soon still such
than that the their theirs them then there these they this those though
through till to today together tomorrow too toward towards under unless
until up upon us very we what when where whether which while who whom whose
why with within without yes yesterday yet you your yours yourself
Monday Tuesday Wednesday Thursday Friday Saturday Sunday January February
March April May June July August September October November December
travel travels Quilvane Windows
"""

# American spelling -> British spelling.
VARIANTS = [
    ("color", "colour"), ("favor", "favour"), ("honor", "honour"), ("labor", "labour"),
    ("neighbor", "neighbour"), ("behavior", "behaviour"), ("flavor", "flavour"),
    ("humor", "humour"), ("rumor", "rumour"), ("vapor", "vapour"), ("harbor", "harbour"),
    ("organize", "organise"), ("realize", "realise"), ("recognize", "recognise"),
    ("apologize", "apologise"), ("summarize", "summarise"), ("customize", "customise"),
    ("analyze", "analyse"), ("paralyze", "paralyse"), ("center", "centre"),
    ("theater", "theatre"), ("meter", "metre"), ("liter", "litre"), ("fiber", "fibre"),
    ("catalog", "catalogue"), ("dialog", "dialogue"), ("defense", "defence"),
    ("offense", "offence"), ("gray", "grey"), ("jewelry", "jewellery"),
    ("program", "programme"), ("traveled", "travelled"), ("traveling", "travelling"),
    ("canceled", "cancelled"), ("canceling", "cancelling"), ("labeled", "labelled"),
    ("modeling", "modelling"), ("aluminum", "aluminium"), ("mold", "mould"),
    ("plow", "plough"), ("tire", "tyre"), ("pajamas", "pyjamas"), ("check", "cheque"),
    ("maneuver", "manoeuvre"), ("esthetic", "aesthetic"), ("fulfill", "fulfil"),
    ("enroll", "enrol"), ("skillful", "skilful"), ("willful", "wilful"),
]


IRREGULAR_PLURALS = {"child": "children", "foot": "feet", "man": "men", "woman": "women",
                     "tooth": "teeth", "mouse": "mice", "person": "people", "sheep": "sheep",
                     "potato": "potatoes", "scissors": "scissors", "leaf": "leaves",
                     "shelf": "shelves", "knife": "knives"}
IRREGULAR_VERBS = {"open": ["open", "opens", "opened", "opening"],
                   "format": ["format", "formats", "formatted", "formatting"],
                   "prefer": ["prefer", "prefers", "preferred", "preferring"]}
ADVERB_FROM = set("""
bold bright broad calm cheap clean clear close cold cool dark deep dry easy fair fine firm
fresh full glad great hard kind light loud narrow nice plain poor quick quiet rich rough sad
safe sharp short simple slow smooth soft strong sweet thick thin tight warm weak wide wild
""".split())


def plural(w):
    if w in IRREGULAR_PLURALS:
        return IRREGULAR_PLURALS[w]
    if w.endswith(("s", "x", "z", "ch", "sh")):
        return w + "es"
    if w.endswith("y") and w[-2] not in "aeiou":
        return w[:-1] + "ies"
    return w + "s"


def verb_forms(w):
    if w in IRREGULAR_VERBS:
        return list(IRREGULAR_VERBS[w])
    forms = [w]
    if w.endswith(("s", "x", "z", "ch", "sh")):
        forms.append(w + "es")
    elif w.endswith("y") and w[-2] not in "aeiou":
        forms.append(w[:-1] + "ies")
    else:
        forms.append(w + "s")
    if w.endswith("e"):
        forms += [w + "d", w[:-1] + "ing"]
    elif w.endswith("y") and w[-2] not in "aeiou":
        forms += [w[:-1] + "ied", w + "ing"]
    elif (len(w) <= 4 and w[-1] in "bdgmnpt" and w[-2] in "aeiou" and w[-3] not in "aeiou"):
        forms += [w + w[-1] + "ed", w + w[-1] + "ing"]
    else:
        forms += [w + "ed", w + "ing"]
    return forms


def adjective_forms(w):
    if w.endswith("e"):
        stem = w[:-1]
        forms = [w, w + "r", w + "st"]
    elif w.endswith("y"):
        stem = w[:-1] + "i"
        forms = [w, stem + "er", stem + "est"]
    elif len(w) <= 4 and w[-1] in "bdgmnpt" and w[-2] in "aeiou" and w[-3] not in "aeiou":
        forms = [w, w + w[-1] + "er", w + w[-1] + "est"]
        stem = w
    else:
        forms = [w, w + "er", w + "est"]
        stem = w
    if w in ADVERB_FROM:
        if w.endswith("le"):
            forms.append(w[:-1] + "y")
        elif w.endswith("ll"):
            forms.append(w + "y")
        elif w.endswith("y"):
            forms.append(stem + "ly")
        else:
            forms.append(w + "ly")
    return forms


def word_lists():
    common = set()
    for w in NOUNS.split():
        common.update((w, plural(w)))
    for w in VERBS.split():
        common.update(verb_forms(w))
    for w in ADJECTIVES.split():
        common.update(adjective_forms(w))
    common.update(EXTRA_WORDS.split())
    us, uk = set(common), set(common)
    for a, b in VARIANTS:
        us.add(a)
        uk.add(b)
        if a.endswith("ize"):
            us.update(verb_forms(a))
            uk.update(verb_forms(b))
        elif a.endswith(("or", "er")):
            us.add(a + "s")
            uk.add(b + "s")
    key = lambda w: (w.lower(), w)
    return sorted(common, key=key), sorted(us, key=key), sorted(uk, key=key)


def front_code(words):
    out = bytearray()
    prev = b""
    for w in words:
        b = w.encode("ascii")
        n = 0
        while n < min(len(b), len(prev), 255) and b[n] == prev[n]:
            n += 1
        out += bytes((n, len(b) - n)) + b[n:]
        prev = b
    return bytes(out)


def zlx(words, lang_id, extra=b""):
    body = front_code(words) + extra
    return (b"QZLX\x1a\x00" + struct.pack("<HHIII", 2, lang_id, len(words), len(body),
                                            zlib.crc32(body) & 0xFFFFFFFF)
            + zlib.compress(body, 9))


AFFIX_RULES = """\
SFX S  y ies [^aeiou]y
SFX S  0 es  [sxz]
SFX S  0 es  [cs]h
SFX S  0 s   [^sxzhy]
SFX D  0 d   e
SFX D  y ied [^aeiou]y
SFX D  0 ed  [^ey]
SFX G  e ing e
SFX G  0 ing [^e]
SFX R  0 r   e
SFX R  y ier [^aeiou]y
SFX R  0 er  [^ey]
SFX T  0 st  e
SFX T  y iest [^aeiou]y
SFX T  0 est [^ey]
SFX Y  0 ly  [^y]
SFX Y  y ily y
PFX U  0 un  .
PFX E  0 re  .
PFX M  0 mis .
"""


def spell_cache(words, lang_id):
    """A bit table of word hashes that lets the speller reject most
    misspellings before it opens the dictionaries."""
    nbits = 1 << 15
    bits = bytearray(nbits // 8)
    for w in words:
        b = w.lower().encode("ascii")
        h1 = zlib.crc32(b) & 0xFFFFFFFF
        h2 = zlib.adler32(b) & 0xFFFFFFFF
        for i in range(3):
            bit = (h1 + i * h2 + i * i) % nbits
            bits[bit >> 3] |= 1 << (bit & 7)
    head = b"QWPC\x1a\x00" + struct.pack("<HHIIB3x", 1, lang_id, len(words), nbits, 3)
    return head + bytes(bits) + struct.pack("<I", zlib.crc32(bytes(bits)) & 0xFFFFFFFF)


def hyphenation_patterns():
    vowels = "aeiouy"
    cons = "bcdfghjklmnpqrstvwxz"
    blends = {"bl", "br", "ch", "ck", "cl", "cr", "dr", "fl", "fr", "gh", "gl", "gr", "ng",
              "ph", "pl", "pr", "qu", "sc", "sh", "sk", "sl", "sm", "sn", "sp", "st", "sw",
              "th", "tr", "tw", "wh", "wr"}
    pats = set()
    for a in cons:
        for b in cons:
            pats.add("%s%d%s" % (a, 2 if a + b in blends else 1, b))
    for v in vowels:
        for cch in cons:
            pats.add("%s1%s%s" % (v, cch, "e" if v == "a" else "a"))
            pats.add("2%s%s." % (cch, v))
    for suffix in ("tion", "sion", "ment", "ness", "less", "ful", "able", "ible", "ing",
                   "ism", "ist", "ity", "ous", "ive", "ally", "ence", "ance"):
        pats.add("1" + suffix)
    for prefix in ("un", "re", "pre", "dis", "mis", "over", "under", "inter", "anti",
                   "non", "sub", "super", "trans", "semi", "multi"):
        pats.add("." + prefix + "1")
    return sorted(pats)


def hyphenation_dat():
    pats = hyphenation_patterns()
    exceptions = ["as-so-ciate", "as-so-ciates", "dec-li-na-tion", "oblig-a-tory",
                  "phil-an-thropic", "present", "presents", "project", "projects",
                  "reci-procity", "re-cog-ni-zance", "ref-or-ma-tion", "ret-ri-bu-tion", "ta-ble"]
    body = "\n".join(pats).encode("ascii") + b"\n\x00" + "\n".join(exceptions).encode("ascii") + b"\n"
    head = b"QHYP\x1a\x00" + struct.pack("<HHHII", 3, 1033, 2, len(pats), len(exceptions))
    return head + struct.pack("<II", len(body), zlib.crc32(body) & 0xFFFFFFFF) + zlib.compress(body, 9)


BASIC_ASN = """\
; Quilvane Word Processor sound scheme
; Each event names a short tone sequence: frequency in Hz / length in ms.

[Scheme]
Name=Basic
Description=Quiet, short tones for the most common events.
Version=1.2
Volume=60

[Events]
ProgramStart=523/60 659/60 784/120
ProgramExit=784/60 659/60 523/120
DocumentOpen=659/50 880/80
DocumentSave=880/40 1175/70
DocumentClose=880/50 659/80
DocumentPrint=440/40 440/40 660/90
SpellingError=220/120
SpellingDone=784/60 1047/110
FindNotFound=330/90 262/140
ReplaceDone=988/50 1319/90
AutoSaveDone=1047/40
PageBreak=392/40
Undo=587/40 494/60
Redo=494/40 587/60
ClipInserted=698/50 880/60
TableInserted=659/40 784/40 988/60
Warning=294/160
Error=196/120 147/220
Question=523/60 784/90
Information=784/90

[Options]
PlayOnStartup=1
PlayWhileTyping=0
MuteWhenMinimised=1
"""


def fax_template(n):
    titles = {1: "FAX", 2: "Facsimile Transmission", 3: "Fax Message"}
    body = para(titles.get(n, "Fax Cover Sheet"), font=1 if n != 2 else 3, size=28 if n != 3 else 24,
                bold=True, colour=1 if n % 2 else 0, after=240)
    rows = [["To:", "[Recipient name]", "From:", "[Your name]"],
            ["Fax:", "[Recipient fax number]", "Pages:", "[Number of pages]"],
            ["Phone:", "[Recipient phone number]", "Date:", "[Date]"],
            ["Re:", "[Subject]", "CC:", "[Names]"]]
    body += rtf_table(rows, (1000, 3320, 1000, 3320), header=False)
    body += para("[  ] Urgent    [  ] For Review    [  ] Please Comment    [  ] Please Reply",
                 font=1, size=10, after=240)
    body += para("Comments:", font=1, size=11, bold=True)
    body += para("[Type your message here. If this transmission is incomplete or illegible, "
                 "please call the sender as soon as possible.]", font=0 if n % 2 else 1, size=11)
    if n == 4:
        body += para("CONFIDENTIALITY NOTICE: The information in this facsimile is intended only for "
                     "the person to whom it is addressed. If you have received it in error, please "
                     "notify the sender and destroy the pages.", font=1, size=8, italic=True, before=480)
    return rtf_doc(body)


def letter_template(kind):
    body = ""
    if kind in ("Letter 1", "Business Letter"):
        body += para("[Company Name]", font=1, size=18, bold=True, colour=1, after=0)
        body += para("[Street Address]  |  [City, Region Postcode]  |  [Phone]", font=1, size=9,
                     colour=3, after=480)
    else:
        body += para("[Your Name]", font=3 if kind != "Letter 3" else 0, size=14, bold=True,
                     align="r", after=0)
        body += para("[Street Address]", align="r", after=0)
        body += para("[City, Region Postcode]", align="r", after=360)
    body += para("[Date]", after=240)
    body += para("[Recipient Name]", after=0)
    body += para("[Title]", after=0)
    body += para("[Company Name]", after=0)
    body += para("[Street Address]", after=0)
    body += para("[City, Region Postcode]", after=240)
    body += para("Dear [Recipient Name]:" if kind == "Business Letter" else "Dear [Recipient Name],")
    texts = {
        "Letter 1": "Thank you for your letter of [date]. [Type the body of your letter here.]",
        "Letter 2": "[Start typing your letter here. To change the font or the margins, use the "
                    "Format menu.]",
        "Letter 3": "It was lovely to hear from you. [Type your news here.]",
        "Business Letter": "I am writing with regard to [subject]. [Type the body of your letter "
                           "here. Keep paragraphs short and to the point.]",
        "Personal Letter": "[Write your letter here.] I hope this finds you and your family well.",
    }
    body += para(texts[kind])
    body += para("[Add further paragraphs as needed.]")
    closing = "Yours sincerely," if kind in ("Letter 1", "Business Letter") else "With best wishes,"
    body += para(closing, before=240, after=720)
    body += para("[Your Name]", after=0)
    if kind in ("Letter 1", "Business Letter"):
        body += para("[Your Title]", after=0)
        body += para("Enclosure", size=10, before=240)
    return rtf_doc(body)


def memo_template(n):
    heading = {1: "MEMO", 2: "Memorandum", 3: "MEMORANDUM", 4: "Interoffice Memo"}[n]
    body = para(heading, font=1 if n != 2 else 3, size=30 if n in (1, 3) else 24, bold=True,
                colour=1 if n != 3 else 0, after=360)
    for label, value in (("To:", "[Names]"), ("From:", "[Your name]"), ("CC:", "[Names]"),
                         ("Date:", "[Date]"), ("Re:", "[Subject]")):
        body += "\\pard\\tx1440\\sa60\\f1\\fs22\\b %s\\b0\\tab %s\\par\n" % (label, value)
    body += "\\pard\\brdrb\\brdrs\\brdrw15\\brsp20\\sa240\\par\n"
    body += para("[Type your memo here. A memo should be brief: state the purpose in the first "
                 "sentence, give the details, and end with any action required of the reader.]",
                 font=0 if n % 2 else 1, size=11)
    if n == 4:
        body += para("Action required by: [Date]", font=1, size=11, bold=True, before=240)
    return rtf_doc(body)


def story_template(kind):
    body = para("[Title of Your Story]", font=3, size=26, bold=True, align="c", after=120)
    body += para("by [Author Name]", font=3, size=14, italic=True, align="c", after=600)
    body += para("Chapter One", font=3, size=16, bold=True, align="c", after=240)
    if kind == "Children's Story":
        body += para("Once upon a time, in a little house at the edge of a great green wood, "
                     "there lived [name of your hero].", font=4, size=16, after=240)
        body += para("[Carry on with your story here. Leave room for a picture from the Clip "
                     "Library on every page.]", font=4, size=16)
    else:
        first = {"Story 1": "It was the kind of morning that seemed to promise something.",
                 "Story 2": "Nobody in the village could remember when the old mill had last "
                            "turned."}[kind]
        body += "\\pard\\qj\\fi360\\sl360\\slmult1\\f3\\fs24 %s [Continue your story here.]\\par\n" % rtf_escape(first)
        body += "\\pard\\qj\\fi360\\sl360\\slmult1\\f3\\fs24 [Start each new paragraph on its own line. " \
                "The first line is indented for you.]\\par\n"
    return rtf_doc(body)


def toc_template(n):
    body = para("Contents" if n != 2 else "TABLE OF CONTENTS", font=1 if n != 3 else 3,
                size=24 if n != 2 else 18, bold=True, colour=1, after=360)
    leader = {1: "\\tldot", 2: "\\tlhyph", 3: "\\tlul"}[n]
    entries = [(0, "Introduction", 1), (0, "Getting Started", 3), (1, "Before You Begin", 3),
               (1, "First Steps", 5), (0, "Working with Documents", 9), (1, "Formatting Text", 11),
               (1, "Using Templates", 14), (1, "Inserting Clips and Pictures", 17),
               (0, "Checking Your Work", 21), (1, "Spelling", 21), (1, "Hyphenation", 24),
               (0, "Printing", 27), (0, "Index", 31)]
    for level, title, page in entries:
        bold = "\\b " if level == 0 else ""
        unbold = "\\b0 " if level == 0 else ""
        body += ("\\pard\\li%d\\sa%d%s\\tqr\\tx9000\\f%d\\fs%d %s%s%s\\tab %d\\par\n"
                 % (level * 360, 60 if level else 120, leader, 1 if n != 3 else 3,
                    22 if level == 0 else 20, bold, rtf_escape("[" + title + "]"), unbold, page))
    return rtf_doc(body)


CLOSINGS = ["Sincerely", "Yours Truly", "Best Regards", "Kind Regards", "Warm Wishes",
            "All the Best", "With Thanks", "Cordially", "Yours Faithfully", "Fondly",
            "With Appreciation", "Until Next Time"]
GREETINGS = [("Happy Birthday", "Wishing you a very happy birthday and a wonderful year ahead!"),
             ("Season's Greetings", "Warmest wishes for a peaceful holiday season and a happy New Year."),
             ("Happy New Year", "May the coming year bring you health, happiness and success."),
             ("Congratulations", "Congratulations on your wonderful news! We are delighted for you."),
             ("Get Well Soon", "Thinking of you and wishing you a speedy recovery."),
             ("Thank You", "Thank you so much for your kindness. It meant a great deal."),
             ("Welcome", "A warm welcome to you! We are very glad to have you with us."),
             ("Happy Anniversary", "Happy anniversary! Here's to many more years together."),
             ("Best Wishes", "With best wishes for every happiness in the future."),
             ("Bon Voyage", "Have a wonderful journey, and come back safely with lots of stories."),
             ("Good Luck", "Good luck! We know you will do brilliantly."),
             ("Happy Retirement", "Congratulations on your retirement. Enjoy every moment of it!"),
             ("New Baby", "Congratulations on the arrival of your beautiful new baby."),
             ("Graduation", "Congratulations, graduate! All your hard work has paid off.")]
HEADERS_FOOTERS = [("Page Number Centre", "c", "Page #"), ("Page Number Right", "r", "Page #"),
                   ("Page X of Y", "c", "Page # of ##"), ("Date Left", "l", "[Date]"),
                   ("Confidential", "c", "CONFIDENTIAL"), ("Draft", "r", "DRAFT - NOT FOR CIRCULATION"),
                   ("Company Name", "l", "[Company Name]"), ("Chapter Title", "r", "[Chapter Title]"),
                   ("File Name", "l", "[File name]"), ("Copyright Notice", "c", "Copyright (c) [Year] [Your Name]. All rights reserved."),
                   ("Two Column Footer", "l", "[Company Name]\t[Page #]"), ("Memo Header", "l", "MEMO - [Subject]"),
                   ("Letterhead Classic", "c", "[Your Name]\n[Address]  [Phone]"),
                   ("Letterhead Modern", "l", "[YOUR NAME]\n[Address] | [Phone] | [E-mail]"),
                   ("Report Header", "r", "[Report Title] - [Date]"), ("Thin Rule Footer", "c", "[Footer text]")]
PHRASES = ["As discussed", "Please find enclosed", "Thank you for your letter",
           "I look forward to hearing from you", "Please do not hesitate to contact me",
           "We are pleased to inform you", "We regret to inform you", "Further to our conversation",
           "For your information", "At your earliest convenience", "In reply to your enquiry",
           "Please confirm receipt", "With reference to", "On behalf of", "Attached please find",
           "Thank you for your order"]
PHRASE_TEXT = {
    "As discussed": "As discussed, I am sending you the details of [subject].",
    "Please find enclosed": "Please find enclosed [document] for your attention.",
    "Thank you for your letter": "Thank you for your letter of [date] concerning [subject].",
    "I look forward to hearing from you": "I look forward to hearing from you.",
    "Please do not hesitate to contact me": "If you have any questions, please do not hesitate to contact me.",
    "We are pleased to inform you": "We are pleased to inform you that [news].",
    "We regret to inform you": "We regret to inform you that [news].",
    "Further to our conversation": "Further to our telephone conversation of [date], I confirm that [details].",
    "For your information": "For your information, [details].",
    "At your earliest convenience": "Please reply at your earliest convenience.",
    "In reply to your enquiry": "In reply to your enquiry of [date], I am pleased to enclose [details].",
    "Please confirm receipt": "Please confirm receipt of this letter by return.",
    "With reference to": "With reference to your order number [number], [details].",
    "On behalf of": "On behalf of [organisation], I would like to thank you for [reason].",
    "Attached please find": "Attached please find the [document] you requested.",
    "Thank you for your order": "Thank you for your order. Your goods will be dispatched within [number] days.",
}
SALUTATIONS = ["Dear Sir or Madam", "Dear Sir", "Dear Madam", "To Whom It May Concern",
               "Dear Friend", "Dear Customer", "Dear Colleague", "Dear Member", "Hello",
               "Dear Parents", "Dear Neighbour", "Good Morning"]
TABLES = ["Two Column", "Three Column", "Calendar Month", "Invoice", "Price List", "Phone List",
          "Weekly Schedule", "Budget", "Expense Report", "Grade Book", "Inventory",
          "Contact List", "Order Form", "Timetable"]


def table_rows(name):
    if name == "Two Column":
        return [["Item", "Description"]] + [["", ""]] * 5, (3000, 5640)
    if name == "Three Column":
        return [["Item", "Description", "Notes"]] + [["", "", ""]] * 5, (2200, 3800, 2640)
    if name == "Calendar Month":
        days = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
        rows = [days]
        for week in range(5):
            rows.append([str(week * 7 + d + 1) if week * 7 + d < 31 else "" for d in range(7)])
        return rows, (1234,) * 7
    if name == "Invoice":
        return ([["Qty", "Description", "Unit Price", "Amount"]] + [["", "", "", ""]] * 6
                + [["", "", "Total", ""]]), (900, 4540, 1600, 1600)
    if name == "Price List":
        return [["Code", "Product", "Price"]] + [["[Code]", "[Product]", "[0.00]"]] * 6, (1400, 5240, 2000)
    if name == "Phone List":
        return [["Name", "Telephone", "Extension"]] + [["", "", ""]] * 8, (4000, 3000, 1640)
    if name == "Weekly Schedule":
        return ([["Time", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]]
                + [["%d:00" % h, "", "", "", "", ""] for h in range(8, 18)]), (1140, 1500, 1500, 1500, 1500, 1500)
    if name == "Budget":
        return ([["Category", "Budgeted", "Actual", "Difference"]]
                + [[c, "", "", ""] for c in ("Housing", "Food", "Transport", "Utilities",
                                              "Savings", "Other")] + [["Total", "", "", ""]]), (2640, 2000, 2000, 2000)
    if name == "Expense Report":
        return [["Date", "Description", "Category", "Amount"]] + [["", "", "", ""]] * 7, (1400, 3840, 1800, 1600)
    if name == "Grade Book":
        return [["Student", "Test 1", "Test 2", "Test 3", "Average"]] + [["", "", "", "", ""]] * 8, (3040, 1400, 1400, 1400, 1400)
    if name == "Inventory":
        return [["Item No.", "Item", "Location", "Quantity"]] + [["", "", "", ""]] * 8, (1500, 3640, 2000, 1500)
    if name == "Contact List":
        return [["Name", "Address", "Phone", "E-mail"]] + [["", "", "", ""]] * 6, (2200, 2940, 1700, 1800)
    if name == "Order Form":
        return [["Item", "Size", "Colour", "Qty", "Price"]] + [["", "", "", "", ""]] * 6, (3240, 1300, 1500, 1000, 1600)
    return [["Period", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]] + \
        [[str(p), "", "", "", "", ""] for p in range(1, 8)], (1140, 1500, 1500, 1500, 1500, 1500)


def table_text(rows):
    return crlf("\n".join("\t".join(r) for r in rows) + "\n")


MISC_TEXT = {
    "Address Block": ["[Name]", "[Street Address]", "[City, Region Postcode]", "[Country]"],
    "Signature Block": ["Yours sincerely,", "", "", "", "[Your Name]", "[Your Title]", "[Company Name]"],
    "Directions": ["How to find us", "", "From the north: leave the main road at the second "
                   "roundabout and follow the signs for the town centre.",
                   "From the south: [directions].", "", "Parking is available at the rear of the building."],
    "Meeting Agenda": ["Meeting Agenda", "Date: [Date]    Time: [Time]    Place: [Room]", "",
                       "1. Apologies for absence", "2. Minutes of the last meeting",
                       "3. Matters arising", "4. [Item]", "5. [Item]", "6. Any other business",
                       "7. Date of next meeting"],
    "Phone Message": ["WHILE YOU WERE OUT", "", "For: ______________  Date: ________  Time: ______",
                      "From: _____________________________", "Phone: ____________________________",
                      "[ ] Telephoned   [ ] Please call   [ ] Will call again   [ ] Urgent", "",
                      "Message: _______________________________________________"],
    "RSVP Card": ["R.S.V.P.", "", "Name: ______________________________",
                  "[ ] Will attend     [ ] Will not attend", "Number of guests: ______",
                  "Please reply by [Date]."],
    "Notes": ["Notes", "", "- [Note]", "- [Note]", "- [Note]"],
}


# ---------------------------------------------------------------------------
# Names, timestamps and the payload list.

RESERVED = {"CON", "PRN", "AUX", "NUL"} | {"COM%d" % i for i in range(1, 10)} | {"LPT%d" % i for i in range(1, 10)}


def check_name(name):
    if len(name.encode("utf-8")) >= 255:
        raise ValueError("name too long: %r" % name)
    for part in name.split("\\"):
        if not part or part in (".", ".."):
            raise ValueError("empty or relative component in %r" % name)
        if part[-1] in ". ":
            raise ValueError("component ends in dot or blank: %r" % name)
        if any(ch in '<>:"|?*/' or ord(ch) < 32 for ch in part):
            raise ValueError("forbidden character in %r" % name)
        if part.split(".")[0].upper().rstrip() in RESERVED:
            raise ValueError("device name in %r" % name)


class Timeline:
    """Plausible working-hours timestamps with whole even seconds."""

    def __init__(self, rng, start):
        self.rng = rng
        self.t = start

    def next(self, min_minutes, max_minutes):
        t = self.t + datetime.timedelta(minutes=self.rng.between(min_minutes, max_minutes),
                                        seconds=2 * self.rng.below(30))
        while t.hour < 8 or t.hour >= 19 or t.weekday() == 6:
            t = (t + datetime.timedelta(days=1)).replace(hour=8, minute=self.rng.below(50))
        t = t.replace(second=t.second - t.second % 2, microsecond=0)
        self.t = t
        return t.strftime("%Y-%m-%d %H:%M:%S")


def main():
    if os.path.isdir(FILES):
        shutil.rmtree(FILES)
    os.makedirs(FILES)
    entries = []         # (name, source, timestamp, group)
    written = {}         # source -> bytes
    pictures = []        # (path, fmt)

    def add(name, data, stamp, group):
        source = name.replace("\\", "/")
        path = os.path.join(FILES, *source.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        written[source] = data
        entries.append((name, source, stamp, group))

    def text(s):
        return crlf(s).encode("cp1252")

    rng = Rng(0x51A7E5)

    # The program itself comes from the C++ build.
    entries.append(("qwp.exe", "@qwp", "2025-09-18 11:42:36", "program"))

    add("License.txt", text(LICENSE), "2025-08-27 16:05:12", "licence")

    # Spelling.
    common, us, uk = word_lists()
    tl = Timeline(rng, datetime.datetime(2024, 1, 15, 9, 12, 0))
    add("English (American).asc", text("\n".join(us) + "\n"), tl.next(30, 200), "spelling")
    add("English (British).asc", text("\n".join(uk) + "\n"), tl.next(30, 200), "spelling")
    add("us.zlx", zlx(us, 1033), tl.next(60, 300), "spelling")
    add("uk.zlx", zlx(uk, 2057), tl.next(20, 90), "spelling")
    add("userdicen.tlx", b"", tl.next(300, 900), "spelling")
    add("English (American).cache", spell_cache(us, 1033), tl.next(60, 400), "spelling")
    add("english.zlx", zlx(common, 9, b"\x00" + AFFIX_RULES.encode("ascii")), tl.next(60, 400), "spelling")

    # Templates.
    tl = Timeline(rng, datetime.datetime(2024, 3, 4, 10, 0, 0))
    templates = ([("Faxes", "Fax %d" % n, fax_template(n)) for n in (1, 2, 3)]
                 + [("Faxes", "Fax Cover Sheet", fax_template(4))]
                 + [("Letters", k, letter_template(k)) for k in
                    ("Letter 1", "Letter 2", "Letter 3", "Business Letter", "Personal Letter")]
                 + [("Memos", "Memo %d" % n, memo_template(n)) for n in (1, 2, 3)]
                 + [("Memos", "Interoffice Memo", memo_template(4))]
                 + [("Stories", k, story_template(k)) for k in ("Story 1", "Story 2", "Children's Story")]
                 + [("TOCs", "TOC %d" % n, toc_template(n)) for n in (1, 2, 3)])
    for folder, title, doc in templates:
        add("Templates\\%s\\%s.rtf" % (folder, title), doc.encode("cp1252"), tl.next(40, 2400), "templates")

    # Clip library.
    tl = Timeline(rng, datetime.datetime(2024, 5, 6, 9, 30, 0))
    sizes = (32, 48, 64, 64, 72, 96)

    def clip(name, data):
        add("Clip Library\\" + name, data, tl.next(60, 2200), "clips")

    def picture(name, fmt, size, draw, args, flatten=False):
        data, expected = render_picture(draw, args, size, fmt, flatten)
        check_picture(data, fmt, size, expected)
        clip(name, data)
        pictures.append((os.path.join(FILES, *("Clip Library\\" + name).split("\\")), fmt, size))

    for i, who in enumerate(CLOSINGS):
        if i % 3 == 1:
            clip("Closings\\%s.txt" % who, text("%s,\n\n\n\n[Your Name]\n" % who))
        else:
            body = para(who + ",", font=i % 2 * 3, size=12, after=720) + para("[Your Name]", after=0)
            if i % 4 == 0:
                body += para("[Your Title]", after=0, italic=True)
            clip("Closings\\%s.rtf" % who, rtf_doc(body).encode("cp1252"))

    for i, (title, line) in enumerate(GREETINGS):
        if i % 3 == 2:
            clip("Greetings\\%s.txt" % title, text("%s!\n\n%s\n" % (title, line)))
        else:
            body = para(title + "!", font=3, size=26, bold=True, italic=i % 2 == 0, align="c",
                        colour=(i % 4) + 1, after=240)
            body += para(line, font=3, size=14, align="c")
            clip("Greetings\\%s.rtf" % title, rtf_doc(body).encode("cp1252"))

    for i, (title, align, content) in enumerate(HEADERS_FOOTERS):
        if i in (3, 8):
            clip("Headers & Footers\\%s.txt" % title, text(content + "\n"))
            continue
        lines = content.split("\n")
        body = ""
        if title.startswith("Letterhead"):
            body += para(lines[0], font=1 if "Modern" in title else 3, size=20, bold=True,
                         align=align, colour=1, after=0)
            body += para(lines[1], font=1, size=9, align=align, colour=3, after=120)
            body += "\\pard\\brdrb\\brdrs\\brdrw20\\brsp20\\sa240\\par\n"
        else:
            if "Rule" in title:
                body += "\\pard\\brdrt\\brdrs\\brdrw10\\brsp40\\par\n"
            rendered = rtf_escape(content).replace("[Page #]", "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}")
            rendered = rendered.replace("##", "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}")
            rendered = rendered.replace("#", "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}")
            tabs = "\\tqr\\tx9000" if "\\tab" in rendered else ""
            body += "\\pard\\q%s%s\\f1\\fs18 %s\\par\n" % (align, tabs, rendered)
        clip("Headers & Footers\\%s.rtf" % title, rtf_doc(body).encode("cp1252"))

    for folder, items in IMAGE_FOLDERS:
        if len(items) != 13:
            raise ValueError("%s has %d pictures" % (folder, len(items)))
        for i, (title, draw, args) in enumerate(items):
            fmt = "gif" if (i + len(folder)) % 2 == 0 else "png"
            size = sizes[rng.below(len(sizes))]
            picture("Images\\%s\\%s.%s" % (folder, title, fmt), fmt, size, draw, args,
                    flatten=(fmt == "png" and i % 5 == 3))

    misc = [("Bullet Round", "gif", 32, d_bullet, ("round", rgb(0x2E86DE))),
            ("Bullet Square", "gif", 32, d_bullet, ("square", rgb(0xC0392B))),
            ("Divider Line", "png", 96, d_divider, ("line", rgb(0x34495E))),
            ("Divider Wave", "png", 96, d_divider, ("wave", rgb(0x16A085))),
            ("Star", "gif", 48, d_shape, ("star", rgb(0xF2B705))),
            ("Checkmark", "png", 48, d_check, (rgb(0x27AE60),)),
            ("Seal", "png", 72, d_seal, (rgb(0xC0392B),)),
            ("Corner Ornament", "gif", 64, d_corner, (rgb(0x7D5A2E),))]
    texts = list(MISC_TEXT)
    for i in range(15):
        if i % 2 == 0 and misc:
            title, fmt, size, draw, args = misc.pop(0)
            picture("Miscellaneous\\%s.%s" % (title, fmt), fmt, size, draw, args)
        else:
            title = texts.pop(0)
            lines = MISC_TEXT[title]
            if title in ("Directions", "Phone Message", "Notes"):
                clip("Miscellaneous\\%s.txt" % title, text("\n".join(lines) + "\n"))
            else:
                body = para(lines[0], font=1, size=14, bold=True, after=120)
                for ln in lines[1:]:
                    body += para(ln, after=60)
                clip("Miscellaneous\\%s.rtf" % title, rtf_doc(body).encode("cp1252"))
    if misc or texts:
        raise ValueError("Miscellaneous clips left over")

    for i, title in enumerate(PHRASES):
        line = PHRASE_TEXT[title]
        if i % 2:
            clip("Phrases\\%s.txt" % title, text(line + "\n"))
        else:
            clip("Phrases\\%s.rtf" % title, rtf_doc(para(line, size=12)).encode("cp1252"))

    for i, title in enumerate(SALUTATIONS):
        punct = ":" if i in (0, 1, 2, 3) else ","
        if i % 3 == 0:
            clip("Salutations\\%s.txt" % title, text(title + punct + "\n"))
        else:
            clip("Salutations\\%s.rtf" % title,
                 rtf_doc(para(title + punct, font=(i % 2) * 3, size=12)).encode("cp1252"))

    for i, title in enumerate(TABLES):
        rows, widths = table_rows(title)
        if i % 4 == 3:
            clip("Tables\\%s.txt" % title, text(table_text(rows)))
        else:
            body = para(title, font=1, size=14, bold=True, colour=1, after=120) + rtf_table(rows, widths)
            clip("Tables\\%s.rtf" % title, rtf_doc(body).encode("cp1252"))

    add("Basic.asn", text(BASIC_ASN), "2025-05-19 14:27:40", "sounds")
    add("Hyphenation.dat", hyphenation_dat(), "2024-02-08 15:51:06", "hyphenation")

    # ---- checks on the whole set ---------------------------------------
    counts = {}
    for e in entries:
        counts[e[3]] = counts.get(e[3], 0) + 1
    want = {"program": 1, "licence": 1, "spelling": 7, "templates": 19, "clips": 242,
            "sounds": 1, "hyphenation": 1}
    if counts != want or len(entries) != 272:
        raise ValueError("entry counts %r" % counts)
    if entries[0][0] != "qwp.exe" or entries[-1][0] != "Hyphenation.dat":
        raise ValueError("first or last entry is wrong")
    seen = set()
    for name, source, stamp, group in entries:
        check_name(name)
        if name.lower() in seen:
            raise ValueError("duplicate name %r" % name)
        seen.add(name.lower())
        if group == "templates" and not name.startswith("Templates\\"):
            raise ValueError(name)
        if group == "clips" and not name.startswith("Clip Library\\"):
            raise ValueError(name)
        t = datetime.datetime.strptime(stamp, "%Y-%m-%d %H:%M:%S")
        if t.second % 2 or not 2024 <= t.year <= 2025:
            raise ValueError("bad timestamp %r" % stamp)
        if source != "@qwp":
            data = written[source]
            if name.endswith(".rtf") and not (data.startswith(b"{\\rtf1\\ansi") and data.rstrip().endswith(b"}")):
                raise ValueError("not RTF: %r" % name)
            if name.endswith(".rtf") and data.count(b"{") - data.count(b"\\{") != data.count(b"}") - data.count(b"\\}"):
                raise ValueError("unbalanced RTF groups: %r" % name)
            if name.endswith((".txt", ".asc", ".asn", ".rtf")) and b"\n" in data.replace(b"\r\n", b""):
                raise ValueError("bare LF in %r" % name)
    if len(written["userdicen.tlx"]) != 0:
        raise ValueError("userdicen.tlx must be empty")
    subs = sorted({n.split("\\")[2] for n, _s, _t, _g in entries if n.startswith("Clip Library\\Images\\")})
    if len(subs) != 11:
        raise ValueError("Images sub-folders: %r" % subs)
    total = sum(len(d) for d in written.values())
    if total >= 3 * 1024 * 1024:
        raise ValueError("sample is too big: %d bytes" % total)
    # Every file on disk is in the list, and nothing else is there.
    on_disk = set()
    for root, _dirs, files in os.walk(FILES):
        for fn in files:
            on_disk.add(os.path.relpath(os.path.join(root, fn), FILES).replace(os.sep, "/"))
    if on_disk != set(written):
        raise ValueError("files on disk do not match the list")

    with open(MANIFEST, "w", encoding="utf-8", newline="\n") as f:
        f.write("#name\tsource\ttimestamp\n")
        for name, source, stamp, _g in entries:
            f.write("%s\t%s\t%s\n" % (name, source, stamp))

    # A second opinion on a few pictures of each kind, when ImageMagick is here.
    identify = shutil.which("identify")
    if identify:
        for fmt in ("gif", "png"):
            chosen = [(p, s) for p, f, s in pictures if f == fmt][::9]
            out = subprocess.run([identify, "-regard-warnings", "-format", "%m %w %h\n"]
                                 + [p for p, _s in chosen], capture_output=True, text=True)
            if out.returncode != 0 or out.stderr.strip():
                raise ValueError("identify rejected a %s: %s" % (fmt, out.stderr))
            expected = "".join("%s %d %d\n" % (fmt.upper(), s, s) for _p, s in chosen)
            if out.stdout != expected:
                raise ValueError("identify output: %r" % out.stdout)
            print("identify read %d %s pictures" % (len(chosen), fmt.upper()))

    print("%d entries, %d bytes in files/, %d pictures checked" % (len(entries), total, len(pictures)))
    print("per group: " + ", ".join("%s %d" % (g, counts[g]) for g in want))
    print("Images sub-folders: " + ", ".join(subs))


if __name__ == "__main__":
    sys.exit(main())
