#!/usr/bin/env python3
"""Writes the file list of the NSIS peer installer (bench/peer/quilvane-peer.nsi)
from the listing that `list_payload --extract FOLDER PAYLOAD` prints.

    make_peer_files.py --listing LISTING --out FILES.nsh

The list places every entry where the setup's install plan places it, in the
plan's order: the word processor and its licence in the destination, the
spelling files in the shared Spellcheck folder (the American cache a second
time under the British name), the hyphenation file in the destination, the
templates and the clip library with their sub-folders and the sound scheme in
the shared Public folder. Entries the plan does not name are left out, as the
setup leaves them. One macro per component, QWP_FILES_0 to QWP_FILES_5, for
the peer's sections; the sources are named below ${QWP_TREE}, the folder the
payload was extracted into, and the destinations below $INSTDIR and
$PublicDir, so the list holds no path of the machine that made it.
"""
import argparse
import re
import sys

DESTINATION = "$INSTDIR"
PUBLIC = "$PublicDir"
SPELLING = PUBLIC + "\\Spellcheck"

# (component, pattern, folder, name written as, or None for the entry's own)
# in the order the setup's plan takes them; a pattern ending in a backslash
# stands for every entry below that folder, with its sub-folders.
PLAN = [
    (0, "qwp.exe", DESTINATION, None),
    (0, "License.txt", DESTINATION, None),
    (1, "English (American).asc", SPELLING, None),
    (1, "English (American).cache", SPELLING, None),
    (1, "English (British).asc", SPELLING, None),
    (1, "English (American).cache", SPELLING, "English (British).cache"),
    (1, "english.zlx", SPELLING, None),
    (1, "us.zlx", SPELLING, None),
    (1, "uk.zlx", SPELLING, None),
    (1, "userdicen.tlx", SPELLING, None),
    (2, "Hyphenation.dat", DESTINATION, None),
    (3, "Templates\\", PUBLIC, None),
    (4, "Clip Library\\", PUBLIC, None),
    (5, "Basic.asn", PUBLIC, None),
]
COMPONENTS = 6

LISTING_LINE = re.compile(r"^ *(\d+)  \d{4}-\d\d-\d\d \d\d:\d\d:\d\d  (.+)$")


def read_listing(lines):
    """The entry names of a list_payload listing, in payload order."""
    names = []
    for line in lines:
        match = LISTING_LINE.match(line.rstrip("\r\n"))
        if match:
            names.append(match.group(2))
    return names


def planned_copies(names):
    """[(component, entry name, folder, written name)] in the plan's order.
    Names compare ignoring case, as the plan compares them; a single name
    takes the first entry of that name."""
    copies = []
    for component, pattern, folder, written_as in PLAN:
        wanted = pattern.lower()
        if wanted.endswith("\\"):
            copies += [(component, n, folder, n) for n in names if n.lower().startswith(wanted)]
        else:
            match = next((n for n in names if n.lower() == wanted), None)
            if match is not None:
                copies.append((component, match, folder, written_as or match))
    return copies


def quoted(text):
    """An NSIS string in double quotes that stands for text exactly."""
    return '"' + text.replace("$", "$$").replace('"', '$\\"') + '"'


def nsis_lines(copies):
    out = ["; Made by tools/make_peer_files.py from the payload's listing; not edited by hand."]
    for component in range(COMPONENTS):
        out.append(f"!macro QWP_FILES_{component}")
        current = None
        for number, entry, folder, written_as in copies:
            if number != component:
                continue
            parts = written_as.split("\\")
            # $INSTDIR and $PublicDir are the installer's variables; the rest
            # is text.
            target = folder + "".join("\\" + quoted(p)[1:-1] for p in parts[:-1])
            if target != current:
                out.append(f'  SetOutPath "{target}"')
                current = target
            # makensis reads the source path at build time as it stands:
            # only its own ${...} would be replaced, and no Windows name holds
            # a double quote.
            source = '"${QWP_TREE}/' + entry.replace("\\", "/") + '"'
            if "${" in entry:
                raise ValueError(f"{entry}: makensis would take ${{...}} in a file name for a define")
            if written_as == entry:
                out.append(f"  File {source}")
            else:
                out.append(f"  File {quoted('/oname=' + parts[-1])} {source}")
        out.append("!macroend")
    return out


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--listing", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args(argv)
    with open(args.listing, encoding="latin-1") as f:
        names = read_listing(f)
    copies = planned_copies(names)
    if not any(component == 0 and entry.lower() == "qwp.exe" for component, entry, _, _ in copies):
        print(f"make_peer_files: {args.listing} lists no qwp.exe", file=sys.stderr)
        return 1
    try:
        lines = nsis_lines(copies)
    except ValueError as refused:
        print(f"make_peer_files: {refused}", file=sys.stderr)
        return 1
    with open(args.out, "w", encoding="latin-1", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print(f"make_peer_files: {len(copies)} copies of {len(names)} entries into {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
