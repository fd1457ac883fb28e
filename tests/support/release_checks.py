"""Helpers of the release tests: a throw-away code-signing certificate, where
things lie in a PE file, and what two installations left behind, read so
that two runs of the same install compare equal.
"""
import hashlib
import os
import re
import struct
import subprocess


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, capture_output=True)


def make_signing_files(folder, days=3, password="throw-away password"):
    """A CA and a code-signing certificate it issued, valid for a few days,
    as PEM files and as a PKCS#12 file with a password; a second CA that
    issued nothing; a key that belongs to no certificate. Returns their
    paths by name."""
    os.makedirs(folder, exist_ok=True)
    paths = {name: os.path.join(folder, file) for name, file in {
        "ca": "ca.pem", "cert": "cert.pem", "key": "key.pem", "pfx": "signer.p12",
        "pass": "signer.pass", "other_ca": "other-ca.pem", "other_key": "other-key.pem"}.items()}
    for ca, key, subject in (("ca.pem", "ca.key", "Quilvane test CA"),
                             ("other-ca.pem", "other-ca.key", "Another test CA")):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", ca,
                "-days", str(days), "-subj", f"/CN={subject}",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "key.pem", "-out", "signer.csr",
            "-subj", "/CN=Quilvane test signer", cwd=folder)
    with open(os.path.join(folder, "signer.ext"), "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
    openssl("x509", "-req", "-in", "signer.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-days", str(days), "-extfile", "signer.ext", "-out", "cert.pem", cwd=folder)
    openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", "other-key.pem", cwd=folder)
    with open(paths["pass"], "w") as f:
        f.write(password + "\n")
    openssl("pkcs12", "-export", "-in", "cert.pem", "-inkey", "key.pem", "-certfile", "ca.pem",
            "-out", "signer.p12", "-passout", f"file:{paths['pass']}", cwd=folder)
    return paths


class PeLayout:
    """Offsets in a PE file: header fields, sections, the certificate table."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.timestamp = pe + 8
        sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.checksum = optional + 64
        pe32plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
        directories = optional + (112 if pe32plus else 96)
        self.security_entry = directories + 4 * 8  # the fifth data directory
        self.cert_table, self.cert_table_size = struct.unpack_from("<II", data, self.security_entry)
        self.sections = {}
        for i in range(sections):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii")
            raw_size, raw_offset = struct.unpack_from("<II", data, at + 16)
            self.sections[name] = (raw_offset, raw_size)


def differing_ranges(a, b):
    """(start, end) of each run of bytes where two equally long byte strings differ."""
    ranges, start = [], None
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y and start is None:
            start = i
        elif x == y and start is not None:
            ranges.append((start, i))
            start = None
    if start is not None:
        ranges.append((start, len(a)))
    return ranges


# Files an installation writes with the moment it ran, and what of them two
# runs of the same installation still share. The word processor the setup
# starts for the associations (the sample's stand-in notes each start in a
# file beside it) runs on while the setup measures the destination for the
# uninstall entry's EstimatedSize, which so counts its file or not.
def _after_first_line(data):
    return data.split(b"\n", 1)[1] if b"\n" in data else b""


def _shortcut_without_item_list(data):
    # The target's item list holds the times of its folders, made by the
    # installation; header, link info, strings and extra data do not.
    size = struct.unpack_from("<H", data, 76)[0] if len(data) >= 78 else 0
    return data[:76] + struct.pack("<H", size) + data[78 + size:]


TIMED_FILES = [
    # (path below drive_c, what is compared, why the rest differs)
    (r"ProgramData/Quilvane/Hidden/install_stamp", lambda d: b"%d bytes" % len(d), "the install time"),
    (r"ProgramData/Quilvane/qwp_common\.dat", lambda d: d[:8] + bytes(len(d) - 8), "the install time in its last 8 bytes"),
    (r"ProgramData/Quilvane/Update\.log", _after_first_line, "the install time in its first line"),
    (r".*\.lnk", _shortcut_without_item_list, "the times of the target's folders"),
    (r"dist/setup\.log", lambda d: re.sub(rb'"EstimatedSize" = dword \d+', b'"EstimatedSize" = dword N',
                                          re.sub(rb"free \d+ bytes", b"free N bytes", d)),
     "the drive's free space, the estimated size"),
]


def read_installation(folder):
    """What one run of tests/support/install-each.sh left: its exit code, and
    for each path below drive_c what two runs of the same installation share
    of it: "as before" for a file the run did not touch, else the hash of its
    content (for TIMED_FILES of the part without the moment it ran)."""
    with open(os.path.join(folder, "exit")) as f:
        exit_code = int(f.read().strip())
    files = {}
    with open(os.path.join(folder, "files"), encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            kind, path = line.rstrip("\n").split(" ", 1)
            path = path[2:]
            changed = os.path.join(folder, "changed", path)
            if kind != "f" or not os.path.exists(changed):
                files[path] = "as before" if kind == "f" else f"type {kind}"
                continue
            with open(changed, "rb") as content:
                kept = content.read()
            for pattern, shared, _ in TIMED_FILES:
                if re.fullmatch(pattern, path):
                    kept = shared(kept)
                    break
            files[path] = hashlib.sha256(kept).hexdigest()
    return exit_code, files


def registry_lines(path):
    """A Wine registry file's lines without what changes from one start of
    Wine to the next or one day to the next: the keys' and values' write
    times, the display adapter's driver date Wine sets at each start, the
    uninstall entry's InstallDate (its date, yyyymmdd) and EstimatedSize
    (see TIMED_FILES; registry_values reads it)."""
    lines = []
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("#time=") or line.startswith('"DriverDate'):
                continue
            line = re.sub(r"^(\[.*\]) \d+$", r"\1", line)
            line = re.sub(r'^"InstallDate"="\d{8}"$', '"InstallDate"="yyyymmdd"', line)
            line = re.sub(r'^"EstimatedSize"=dword:[0-9a-f]{8}$', '"EstimatedSize"=dword:(size)', line)
            lines.append(line)
    return lines


def registry_values(path, key):
    """The string and DWORD values of one key of a Wine registry file (the
    key as the file writes it, backslashes doubled), by name."""
    values, inside = {}, False
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                inside = re.sub(r" \d+$", "", line) == f"[{key}]"
            elif inside:
                found = re.fullmatch(r'"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"', line)
                number = re.fullmatch(r'"((?:[^"\\]|\\.)*)"=dword:([0-9a-f]{8})', line)
                if found:
                    name, value = (re.sub(r"\\(.)", r"\1", part) for part in found.groups())
                    values[name] = value
                elif number:
                    values[re.sub(r"\\(.)", r"\1", number.group(1))] = int(number.group(2), 16)
    return values
