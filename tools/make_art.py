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


# ---------------------------------------------------------------------------
# A small anti-aliased rasteriser. Shapes are given in "design units"; the
# canvas maps them onto pixels and takes ss x ss samples per pixel.

CLEAR = None  # colour value that erases to full transparency


class Canvas:
    def __init__(self, w, h, ss=1, unit=1.0, bg=(0, 0, 0, 0)):
        self.w, self.h, self.ss = w, h, ss
        self.k = unit * ss              # samples per design unit
        self.W, self.H = w * ss, h * ss
        self.px = [bg] * (self.W * self.H)
        self.clip = None                # optional predicate(x, y) in design units

    def _put(self, i, c):
        if c is None:
            self.px[i] = (0, 0, 0, 0)
            return
        a = c[3]
        if a >= 255:
            self.px[i] = c
            return
        if a <= 0:
            return
        e = self.px[i]
        ea = e[3] * (255 - a) / 255.0
        oa = a + ea
        self.px[i] = (int((c[0] * a + e[0] * ea) / oa + 0.5),
                      int((c[1] * a + e[1] * ea) / oa + 0.5),
                      int((c[2] * a + e[2] * ea) / oa + 0.5),
                      int(oa + 0.5))

    def spans(self, y0, y1, rowfn, color):
        """rowfn(y) gives the [xa, xb) intervals covered on design row y."""
        k = self.k
        Y0 = max(0, int(math.floor(y0 * k)))
        Y1 = min(self.H, int(math.ceil(y1 * k)))
        solid = not callable(color)
        clip = self.clip
        W = self.W
        for Y in range(Y0, Y1):
            y = (Y + 0.5) / k
            base = Y * W
            for xa, xb in rowfn(y):
                X0 = max(0, int(math.ceil(xa * k - 0.5)))
                X1 = min(W, int(math.ceil(xb * k - 0.5)))
                for X in range(X0, X1):
                    if clip is not None or not solid:
                        x = (X + 0.5) / k
                        if clip is not None and not clip(x, y):
                            continue
                        self._put(base + X, color if solid else color(x, y))
                    else:
                        self._put(base + X, color)

    def shape(self, inside, x0, y0, x1, y1, color):
        """Any region given as a predicate, searched within a bounding box."""
        k = self.k

        def row(y):
            out = []
            X0 = max(0, int(math.floor(x0 * k)))
            X1 = min(self.W, int(math.ceil(x1 * k)))
            start = None
            for X in range(X0, X1 + 1):
                x = (X + 0.5) / k
                hit = X < X1 and inside(x, y)
                if hit and start is None:
                    start = X
                elif not hit and start is not None:
                    out.append((start / k, X / k))
                    start = None
            return out
        self.spans(y0, y1, row, color)

    def fill(self, color):
        self.spans(0, self.H / self.k, lambda y: ((0, self.W / self.k),), color)

    def ellipse(self, cx, cy, rx, ry, color):
        def row(y):
            t = (y - cy) / ry
            if t * t >= 1:
                return ()
            d = rx * math.sqrt(1 - t * t)
            return ((cx - d, cx + d),)
        self.spans(cy - ry, cy + ry, row, color)

    def circle(self, cx, cy, r, color):
        self.ellipse(cx, cy, r, r, color)

    def ring(self, cx, cy, rx, ry, t, color):
        irx, iry = rx - t, ry - t

        def row(y):
            u = (y - cy) / ry
            if u * u >= 1:
                return ()
            d = rx * math.sqrt(1 - u * u)
            if irx <= 0 or iry <= 0:
                return ((cx - d, cx + d),)
            v = (y - cy) / iry
            if v * v >= 1:
                return ((cx - d, cx + d),)
            e = irx * math.sqrt(1 - v * v)
            return ((cx - d, cx - e), (cx + e, cx + d))
        self.spans(cy - ry, cy + ry, row, color)

    def polygon(self, pts, color):
        edges = []
        n = len(pts)
        for i in range(n):
            xa, ya = pts[i]
            xb, yb = pts[(i + 1) % n]
            if ya == yb:
                continue
            d = 1 if yb > ya else -1
            if ya > yb:
                xa, ya, xb, yb = xb, yb, xa, ya
            edges.append((ya, yb, xa, (xb - xa) / (yb - ya), d))

        def row(y):
            xs = [(xa + (y - ya) * s, d) for (ya, yb, xa, s, d) in edges if ya <= y < yb]
            xs.sort()
            out, wind, start = [], 0, 0.0
            for x, d in xs:
                prev = wind
                wind += d
                if prev == 0 and wind != 0:
                    start = x
                elif prev != 0 and wind == 0:
                    out.append((start, x))
            return out
        ys = [p[1] for p in pts]
        self.spans(min(ys), max(ys), row, color)

    def rect(self, x0, y0, x1, y1, color):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def rrect(self, x0, y0, x1, y1, r, color):
        self.polygon(rrect_pts(x0, y0, x1, y1, r), color)

    def frame(self, x0, y0, x1, y1, t, color):
        self.rect(x0, y0, x1, y0 + t, color)
        self.rect(x0, y1 - t, x1, y1, color)
        self.rect(x0, y0 + t, x0 + t, y1 - t, color)
        self.rect(x1 - t, y0 + t, x1, y1 - t, color)

    def line(self, x0, y0, x1, y1, w, color, caps=True):
        dx, dy = x1 - x0, y1 - y0
        L = math.hypot(dx, dy)
        if L == 0:
            if caps:
                self.circle(x0, y0, w / 2.0, color)
            return
        nx, ny = -dy / L * w / 2.0, dx / L * w / 2.0
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                      (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)
        if caps:
            self.circle(x0, y0, w / 2.0, color)
            self.circle(x1, y1, w / 2.0, color)

    def polyline(self, pts, w, color):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], w, color)

    def arc(self, cx, cy, r, t, a0, a1, color):
        """Thick circular arc between angles a0..a1 (degrees, clockwise on
        screen, 0 = east)."""
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if d > r or d < r - t:
                return False
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return angle_in(a, a0, a1)
        self.shape(inside, cx - r, cy - r, cx + r, cy + r, color)

    def sector(self, cx, cy, r, a0, a1, color):
        def inside(x, y):
            if math.hypot(x - cx, y - cy) > r:
                return False
            a = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return angle_in(a, a0, a1)
        self.shape(inside, cx - r, cy - r, cx + r, cy + r, color)

    def pixels(self):
        """Rows of (r, g, b, a) tuples at pixel resolution."""
        ss, W, px = self.ss, self.W, self.px
        n = ss * ss
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                sr = sg = sb = sa = 0
                for j in range(ss):
                    base = (y * ss + j) * W + x * ss
                    for i in range(ss):
                        r, g, b, a = px[base + i]
                        sr += r * a
                        sg += g * a
                        sb += b * a
                        sa += a
                if sa == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((int(sr / sa + 0.5), int(sg / sa + 0.5),
                                int(sb / sa + 0.5), int(sa / n + 0.5)))
            rows.append(row)
        return rows


def angle_in(a, a0, a1):
    a0 %= 360
    a1 %= 360
    if a0 <= a1:
        return a0 <= a <= a1
    return a >= a0 or a <= a1


def rrect_pts(x0, y0, x1, y1, r, steps=8):
    pts = []
    for cx, cy, start in ((x1 - r, y0 + r, 270), (x1 - r, y1 - r, 0),
                          (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(steps + 1):
            a = math.radians(start + 90.0 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def regular_pts(cx, cy, r, n, rot=-90.0):
    return [(cx + r * math.cos(math.radians(rot + 360.0 * i / n)),
             cy + r * math.sin(math.radians(rot + 360.0 * i / n))) for i in range(n)]


def star_pts(cx, cy, r_out, r_in, n, rot=-90.0):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + 180.0 * i / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


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


def shift_pts(pts, dx, dy):
    return [(x + dx, y + dy) for x, y in pts]


def heart_pts(cx, cy, size, n=60):
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append((cx + x * size / 34.0, cy - y * size / 34.0))
    return pts


def inside_polygon(pts):
    """Even-odd point-in-polygon test, for use as a clip."""
    def inside(x, y):
        hit = False
        n = len(pts)
        for i in range(n):
            xa, ya = pts[i]
            xb, yb = pts[(i + 1) % n]
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                hit = not hit
        return hit
    return inside


def vgrad(y0, y1, c0, c1):
    """Vertical gradient colour function between two RGBA colours."""
    def col(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(int(c0[i] + (c1[i] - c0[i]) * t + 0.5) for i in range(4))
    return col


def rgb(h, a=255):
    return ((h >> 16) & 255, (h >> 8) & 255, h & 255, a)


def shade(c, f):
    """Darken (f < 1) or lighten (f > 1) a colour."""
    if f <= 1:
        return (int(c[0] * f), int(c[1] * f), int(c[2] * f), c[3])
    g = f - 1
    return (int(c[0] + (255 - c[0]) * g), int(c[1] + (255 - c[1]) * g),
            int(c[2] + (255 - c[2]) * g), c[3])


# ---------------------------------------------------------------------------
# Colour reduction (median cut) for the GIF pictures.

def median_cut(hist, n):
    """hist: {rgb: count}. Returns (palette list, {rgb: index})."""
    colours = sorted(hist)
    if len(colours) <= n:
        return colours, {c: i for i, c in enumerate(colours)}

    def scored(box):
        weight = sum(hist[c] for c in box)
        best = (-1, 0)
        for axis in range(3):
            lo = min(c[axis] for c in box)
            hi = max(c[axis] for c in box)
            score = (hi - lo) ** 2 * weight
            if score > best[0]:
                best = (score, axis)
        return (best[0], best[1], box)

    boxes = [scored(colours)]
    while len(boxes) < n:
        bi = max(range(len(boxes)), key=lambda i: (boxes[i][0], -i))
        score, axis, box = boxes[bi]
        if score <= 0 or len(box) < 2:
            break
        box = sorted(box, key=lambda c: (c[axis], c))
        total = sum(hist[c] for c in box)
        acc, cut = 0, 1
        for i, c in enumerate(box):
            acc += hist[c]
            if acc * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes[bi:bi + 1] = [scored(box[:cut]), scored(box[cut:])]
    palette, index = [], {}
    for bi, (_s, _a, box) in enumerate(boxes):
        w = sum(hist[c] for c in box)
        palette.append(tuple(int(sum(c[a] * hist[c] for c in box) / w + 0.5) for a in range(3)))
        for c in box:
            index[c] = bi
    return palette, index


# ---------------------------------------------------------------------------
# PNG writing and independent re-reading.

PNG_SIG = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """Parses and unfilters a PNG; returns (info, list of chunk types, rows)."""
    if data[:8] != PNG_SIG:
        raise ValueError("bad PNG signature")
    pos, kinds, idat, info, plte = 8, [], b"", None, None
    while pos < len(data):
        n, = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + n]
        crc, = struct.unpack(">I", data[pos + 8 + n:pos + 12 + n])
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise ValueError("bad CRC in %r" % kind)
        kinds.append(kind.decode("ascii"))
        if kind == b"IHDR":
            info = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            plte = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    if kinds[0] != "IHDR" or kinds[-1] != "IEND" or pos != len(data):
        raise ValueError("bad PNG chunk order")
    w, h, depth, ctype, comp, filt, inter = info
    if depth != 8 or comp or filt or inter:
        raise ValueError("unexpected PNG format")
    bpp = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    raw = zlib.decompress(idat)
    stride = w * bpp
    if len(raw) != h * (stride + 1):
        raise ValueError("IDAT holds %d bytes, expected %d" % (len(raw), h * (stride + 1)))
    rows, prev = [], bytearray(stride)
    for y in range(h):
        ft = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ft == 1:
                line[i] = (line[i] + a) & 255
            elif ft == 2:
                line[i] = (line[i] + b) & 255
            elif ft == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 255
            elif ft == 4:
                line[i] = (line[i] + paeth(a, b, c)) & 255
            elif ft != 0:
                raise ValueError("bad filter type %d" % ft)
        rows.append(bytes(line))
        prev = line
    if ctype == 3 and (plte is None or len(plte) % 3):
        raise ValueError("bad PLTE")
    return {"width": w, "height": h, "colour_type": ctype,
            "palette_entries": len(plte) // 3 if plte else 0}, kinds, rows


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

# One letter per palette entry; "." is the white background.
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
KKKKKKKKKKKKKKKK
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
KKKKKKKKKKKK....
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
