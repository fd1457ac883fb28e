#!/usr/bin/env python3
"""Makes a large synthetic product from a manifest, for the benchmarks.

    make_large_product.py --manifest sample/manifest.tsv --root sample/files
                          --out BUILD/large-product [--total BYTES]

Writes OUT/files/... and OUT/manifest.tsv: the same entry names, sources and
time stamps in the same order, each file pseudo-random text whose size is the
source file's size scaled so that all of them together hold exactly TOTAL
bytes (100 MiB unless told). An empty source stays empty and the "@qwp"
entry (the built program) is kept as it is. The text is words drawn evenly
from a fixed made-up vocabulary, which deflate packs about three to one:
compressible, but not as trivially as repeated bytes.

The same inputs always give the same bytes. The manifest is written last, so
a build that sees it has every file.
"""
import argparse
import os
import random
import sys
import zlib

DEFAULT_TOTAL = 100 * 1024 * 1024
VOCABULARY_SIZE = 1024
WORDS_PER_LINE = 12
CHUNK = 1 << 20


def read_manifest(path):
    """The manifest's lines as (name, source, stamp) triples; comments and
    blank lines are left out. Raises ValueError for a line without three
    tab-separated fields."""
    rows = []
    with open(path, encoding="latin-1", newline="") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3:
                raise ValueError(f"{path}:{number}: expected name, source and time stamp")
            rows.append(tuple(fields))
    return rows


def vocabulary():
    rng = random.Random(0)
    consonants, vowels, codas = "bcdfghjklmnprstvwz", "aeiou", "nrslt"
    words = set()
    while len(words) < VOCABULARY_SIZE:
        syllables = rng.choice((1, 1, 2, 2, 2, 3, 3, 4))
        words.add("".join(rng.choice(consonants) + rng.choice(vowels) +
                          (rng.choice(codas) if rng.random() >= 0.6 else "")
                          for _ in range(syllables)))
    return sorted(words)


def scaled_sizes(sizes, total):
    """Each size scaled so that the non-empty ones sum to exactly total; the
    rounding left over goes to the largest."""
    whole = sum(sizes)
    if whole == 0:
        raise ValueError("every source file is empty: nothing to scale")
    scaled = [size * total // whole for size in sizes]
    largest = max(range(len(sizes)), key=lambda i: sizes[i])
    scaled[largest] += total - sum(scaled)
    return scaled


def write_text(path, size, seed, words):
    """size bytes of lines of words, seeded by the entry so files differ."""
    rng = random.Random(seed)
    written = 0
    with open(path, "wb") as f:
        while written < size:
            lines = []
            length = 0
            while length < CHUNK:
                line = " ".join(rng.choices(words, k=WORDS_PER_LINE)) + "\r\n"
                lines.append(line)
                length += len(line)
            piece = "".join(lines).encode("ascii")[: size - written]
            f.write(piece)
            written += len(piece)


def make_product(manifest, root, out, total):
    rows = read_manifest(manifest)
    generated = [row for row in rows if row[1] != "@qwp"]
    sizes = [os.path.getsize(os.path.join(root, source)) for _, source, _ in generated]
    words = vocabulary()
    files = os.path.join(out, "files")
    manifest_out = os.path.join(out, "manifest.tsv")
    if os.path.exists(manifest_out):
        os.remove(manifest_out)
    for (name, source, _), size in zip(generated, scaled_sizes(sizes, total)):
        path = os.path.join(files, source)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write_text(path, size, zlib.crc32(name.encode("latin-1")), words)
    with open(manifest_out, "w", encoding="latin-1", newline="\n") as f:
        f.write("#name\tsource\ttimestamp\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    return len(rows), total


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--total", type=int, default=DEFAULT_TOTAL)
    args = parser.parse_args(argv)
    try:
        entries, total = make_product(args.manifest, args.root, args.out, args.total)
    except (OSError, ValueError) as error:
        print(f"make_large_product: {error}", file=sys.stderr)
        return 1
    print(f"make_large_product: {entries} entries, {total} bytes of generated files in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
