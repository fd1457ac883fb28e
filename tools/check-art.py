#!/usr/bin/env python3
"""Checks the program's pictures against what the setup expects of them:
the logo an 8-bit indexed PNG of 120 x 260 with a full 256-colour palette
in exactly the chunks IHDR, PLTE, IDAT, IEND; the picker bitmaps 16-colour
BMPs of their fixed sizes. Prints the first problem and exits 1."""
import struct
import sys
import zlib
from pathlib import Path


def png_chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG signature")
    pos, chunks = 8, []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad CRC in {kind!r}")
        chunks.append((kind.decode("ascii"), body))
        pos += 12 + length
    return chunks


def check_logo(path):
    chunks = png_chunks(path.read_bytes())
    kinds = [k for k, _ in chunks]
    if kinds != ["IHDR", "PLTE", "IDAT", "IEND"]:
        raise ValueError(f"logo chunks are {kinds}")
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if (width, height, depth, colour, interlace) != (120, 260, 8, 3, 0):
        raise ValueError(f"logo is {width}x{height}, depth {depth}, colour type {colour}, interlace {interlace}")
    if len(chunks[1][1]) != 256 * 3:
        raise ValueError(f"logo palette has {len(chunks[1][1]) // 3} entries")
    if len(zlib.decompress(chunks[2][1])) != height * (1 + width):
        raise ValueError("logo image data has the wrong size")


def check_bitmap(path, width, height):
    data = path.read_bytes()
    if data[:2] != b"BM":
        raise ValueError(f"{path.name} is not a BMP")
    w, h, planes, bits = struct.unpack("<iiHH", data[18:30])
    if (w, abs(h), planes, bits) != (width, height, 1, 4):
        raise ValueError(f"{path.name} is {w}x{h}, {bits} bits per pixel")


def main():
    art = Path(sys.argv[1])
    try:
        check_logo(art / "logo.png")
        for name, w, h in [("openfolder", 16, 16), ("closedfolder", 16, 16), ("fixeddrive", 16, 11),
                           ("removabledrive", 16, 10)]:
            check_bitmap(art / f"{name}.bmp", w, h)
    except (ValueError, struct.error, zlib.error, OSError) as problem:
        print(f"  {problem}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
