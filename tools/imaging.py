"""Drawing and image-file helpers shared by the generator scripts
(tools/make_art.py and sample/make_sample.py).

A small anti-aliased rasteriser (Canvas) with a few polygon and colour
helpers, median-cut colour reduction, and the PNG pieces both scripts need:
chunk writing and an independent decoder used to check what was written.

Standard library only; nothing here depends on the clock or the locale, so
the scripts that use it write the same bytes on every run.
"""

import math
import struct
import zlib


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


def star_pts(cx, cy, r_out, r_in, n, rot=-90.0):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + 180.0 * i / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def shift_pts(pts, dx, dy):
    return [(x + dx, y + dy) for x, y in pts]


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


# ---------------------------------------------------------------------------
# Colour reduction (median cut) for palette images.

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
# PNG chunks and independent re-reading.

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
