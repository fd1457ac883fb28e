#!/usr/bin/env python3
"""The Windows package manager's manifests of the setup: the three files of a
multi-file manifest (version, installer, default locale), as the community
repository takes them, and their validation against the package manager's
JSON schemas, offline.

  winget-manifests.py write --out DIR --url URL --sha256 HEX
  winget-manifests.py write --out DIR --placeholders
  winget-manifests.py check FILE_OR_DIR...

write makes DIR/<identifier>.yaml, .installer.yaml and .locale.<locale>.yaml
and checks them; --placeholders writes the form kept in docs/winget/, with an
address and a checksum that only stand for the release's. check reads each
file as the package manager does (every scalar a string, but the return
codes numbers), validates it against the schema of its ManifestType and
ManifestVersion below tests/data/winget-schemas/, and checks that the files
given together form one manifest. Both exit with 1 and name each fault when
a file does not pass.

Runs with Debian's python3 and its python3-yaml and python3-jsonschema.
"""
import argparse
import json
import os
import re
import sys

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMAS = os.path.join(HERE, "..", "tests", "data", "winget-schemas")

MANIFEST_VERSION = "1.10.0"
IDENTIFIER = "Quilvane.WordProcessor"
LOCALE = "en-US"
# The uninstall entry's DisplayVersion: what the package manager reads back
# from an installed copy. The wizard's pages show 4.1.2.0, which no program
# list ever sees.
VERSION = "4.0.6.7"
# The uninstall entry the setup writes: the key's name is what the package
# manager takes for the product code of an installer that is no MSI.
DISPLAY_NAME = "Quilvane Word Processor"
PUBLISHER = "The Quilvane Word Processor Team"
UNINSTALL_KEY_NAME = "Quilvane Word Processor"

PLACEHOLDER_URL = f"https://downloads.example.invalid/quilvane/{VERSION}/setup.exe"
PLACEHOLDER_SHA256 = "0" * 64

# Every exit code but 0, as the package manager should read it (the
# README's table says what each means).
RETURN_CODES = [
    (1, "contactSupport"),     # an unexpected error; the run log names it
    (2, "contactSupport"),     # the setup program is damaged
    (3, "packageInUse"),       # the word processor is running
    (4, "diskFull"),           # not enough free space on the destination drive
    (5, "fileInUse"),          # a file could not be written
    (6, "installInProgress"),  # another setup of the product is running
    (7, "invalidParameter"),   # the destination folder cannot be used
    (8, "invalidParameter"),   # a bad argument
    (9, "contactSupport"),     # installed, but not all of it could be recorded
]

SCHEMA_LINE = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.{}.{}.schema.json"


def file_names(identifier=IDENTIFIER, locale=LOCALE):
    """The three files by ManifestType, named as the community repository names them."""
    return {
        "version": f"{identifier}.yaml",
        "installer": f"{identifier}.installer.yaml",
        "defaultLocale": f"{identifier}.locale.{locale}.yaml",
    }


def manifests(url, sha256):
    """The three manifests by ManifestType, their keys in the order written."""
    head = {"PackageIdentifier": IDENTIFIER, "PackageVersion": VERSION}
    tail = {"ManifestVersion": MANIFEST_VERSION}
    return {
        "version": {**head, "DefaultLocale": LOCALE, "ManifestType": "version", **tail},
        "installer": {
            **head,
            "InstallerType": "exe",
            "Scope": "machine",
            # The setup's own manifest asks for administrator rights.
            "ElevationRequirement": "elevatesSelf",
            "InstallModes": ["interactive", "silent", "silentWithProgress"],
            "InstallerSwitches": {
                "Silent": "/S",
                "SilentWithProgress": "/P",
                # /D= takes the rest of the line, blanks included, unquoted;
                # the package manager puts it after the other switches.
                "InstallLocation": "/D=<INSTALLPATH>",
                # A profile's folder may hold blanks.
                "Log": '/LOG="<LOGPATH>"',
            },
            # The setup installs over an older copy and keeps its folder.
            "UpgradeBehavior": "install",
            "ExpectedReturnCodes": [
                {"InstallerReturnCode": code, "ReturnResponse": response} for code, response in RETURN_CODES
            ],
            "AppsAndFeaturesEntries": [{
                "DisplayName": DISPLAY_NAME,
                "Publisher": PUBLISHER,
                "DisplayVersion": VERSION,
                "ProductCode": UNINSTALL_KEY_NAME,
            }],
            "Installers": [{
                "Architecture": "x86",
                "InstallerUrl": url,
                "InstallerSha256": sha256.upper(),
            }],
            "ManifestType": "installer",
            **tail,
        },
        "defaultLocale": {
            **head,
            "PackageLocale": LOCALE,
            "Publisher": PUBLISHER,
            "PackageName": DISPLAY_NAME,
            "License": "Proprietary",
            "ShortDescription": "Compact, fast-loading word processor.",
            "ManifestType": "defaultLocale",
            **tail,
        },
    }


class ManifestLoader(yaml.BaseLoader):
    """Every scalar a string, as the package manager reads a manifest; a key
    given twice in one mapping is an error there too."""

    def construct_mapping(self, node, deep=False):
        seen = set()
        for key_node, _ in node.value:
            key = self.construct_object(key_node, deep=deep)
            if key in seen:
                raise yaml.constructor.ConstructorError(None, None, f"the key {key} is given twice",
                                                        key_node.start_mark)
            seen.add(key)
        return super().construct_mapping(node, deep=deep)


def as_number(text):
    try:
        return int(text, 0)
    except (TypeError, ValueError):
        return text  # left as it is, for the schema to refuse


def with_numbers(value):
    """The return codes as numbers: the only scalars the package manager
    reads as anything but text."""
    if isinstance(value, dict):
        result = {}
        for key, item in value.items():
            if key == "InstallerReturnCode":
                result[key] = as_number(item)
            elif key == "InstallerSuccessCodes" and isinstance(item, list):
                result[key] = [as_number(code) for code in item]
            else:
                result[key] = with_numbers(item)
        return result
    if isinstance(value, list):
        return [with_numbers(item) for item in value]
    return value


def as_text(value):
    if isinstance(value, dict):
        return {key: as_text(item) for key, item in value.items()}
    if isinstance(value, list):
        return [as_text(item) for item in value]
    return str(value)


def read_manifest(path):
    with open(path, encoding="utf-8") as f:
        return with_numbers(yaml.load(f, Loader=ManifestLoader))


def scalar(text):
    """A YAML scalar that reads back as exactly this text."""
    text = str(text)
    if text and text == text.strip():
        try:
            if yaml.load(f"k: {text}\n", Loader=yaml.BaseLoader) == {"k": text}:
                return text
        except yaml.YAMLError:
            pass
    return json.dumps(text, ensure_ascii=False)  # a JSON string is a double-quoted YAML one


def emit(value, indent=0):
    """Block-style YAML lines of a mapping, lists indented under their key."""
    pad = " " * indent
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines.append(f"{pad}{key}:")
            lines += emit(item, indent + 2)
        elif isinstance(item, list):
            lines.append(f"{pad}{key}:")
            for element in item:
                if isinstance(element, dict):
                    inner = emit(element, indent + 4)
                    lines.append(f"{pad}  - {inner[0].lstrip()}")
                    lines += inner[1:]
                else:
                    lines.append(f"{pad}  - {scalar(element)}")
        elif isinstance(item, int):
            lines.append(f"{pad}{key}: {item}")
        else:
            lines.append(f"{pad}{key}: {scalar(item)}")
    return lines


def text_of(kind, manifest, note):
    lines = [SCHEMA_LINE.format(kind, manifest["ManifestVersion"])] + [f"# {line}" for line in note]
    return "\n".join(lines + emit(manifest)) + "\n"


NOTE = {
    "version": ["The Quilvane Word Processor's package for the Windows package manager."],
    "installer": [
        "Written by tools/release.sh with the address and the SHA-256 of the signed setup.exe.",
        "The switches and return codes are the setup's own (see the README's command line).",
    ],
    "defaultLocale": [],
}


def write(out, url, sha256):
    os.makedirs(out, exist_ok=True)
    names = file_names()
    paths = []
    for kind, manifest in manifests(url, sha256).items():
        path = os.path.join(out, names[kind])
        text = text_of(kind, manifest, NOTE[kind])
        # What is written must read back as meant.
        if with_numbers(yaml.load(text, Loader=ManifestLoader)) != with_numbers(as_text(manifest)):
            raise SystemExit(f"winget-manifests: {names[kind]} would not read back as written")
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        paths.append(path)
    return paths


def schema_for(manifest):
    import jsonschema  # Debian's python3-jsonschema
    kind = manifest.get("ManifestType")
    version = manifest.get("ManifestVersion")
    if not isinstance(kind, str) or not isinstance(version, str) or not re.fullmatch(r"[0-9.]+", version):
        return None, "no ManifestType and ManifestVersion to choose a schema by"
    path = os.path.join(SCHEMAS, version, f"manifest.{kind}.{version}.json")
    if not os.path.exists(path):
        return None, f"no schema for ManifestType {kind}, ManifestVersion {version}"
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    return jsonschema.Draft7Validator(schema), ""


def unknown_keys(value, schema, root, where=""):
    """Keys the schema does not name, where it names an object's keys: the
    schemas allow any, but the package manager refuses a manifest with a
    field it does not know, so a misspelt key is not passed over."""
    while isinstance(schema, dict) and "$ref" in schema:
        schema = root["definitions"][schema["$ref"].rsplit("/", 1)[1]]
    if not isinstance(schema, dict):
        return []
    faults = []
    if isinstance(value, dict) and "properties" in schema:
        for key, item in value.items():
            if key not in schema["properties"]:
                faults.append(f"{where or '(top)'}: unknown key {key}")
            else:
                faults += unknown_keys(item, schema["properties"][key], root, f"{where}/{key}".lstrip("/"))
    elif isinstance(value, list) and isinstance(schema.get("items"), dict):
        for i, item in enumerate(value):
            faults += unknown_keys(item, schema["items"], root, f"{where}/{i}")
    return faults


def faults_of(path):
    """The faults of one manifest file, and what it holds (None when unreadable)."""
    try:
        manifest = read_manifest(path)
    except (OSError, yaml.YAMLError) as error:
        return [str(error).replace("\n", " ")], None
    if not isinstance(manifest, dict):
        return ["not a mapping"], None
    validator, why = schema_for(manifest)
    if validator is None:
        return [why], manifest
    faults = []
    for error in sorted(validator.iter_errors(manifest), key=lambda e: list(e.absolute_path)):
        where = "/".join(str(part) for part in error.absolute_path) or "(top)"
        faults.append(f"{where}: {error.message}")
    faults += unknown_keys(manifest, validator.schema, validator.schema)
    return faults, manifest


def set_faults(read):
    """Faults of files meant as one multi-file manifest: one version, one
    installer and one default-locale file, all of the same package and
    manifest version, the default locale being the one the version file names."""
    faults = []
    kinds = [m.get("ManifestType") for m in read.values()]
    for kind in ("version", "installer", "defaultLocale"):
        if kinds.count(kind) != 1:
            faults.append(f"{kinds.count(kind)} files of ManifestType {kind}, not one")
    for key in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
        values = {m.get(key) for m in read.values()}
        if len(values) > 1:
            faults.append(f"the files differ in {key}: {', '.join(sorted(map(str, values)))}")
    versions = [m for m in read.values() if m.get("ManifestType") == "version"]
    locales = [m for m in read.values() if m.get("ManifestType") == "defaultLocale"]
    if len(versions) == 1 and len(locales) == 1 and versions[0].get("DefaultLocale") != locales[0].get("PackageLocale"):
        faults.append(f"DefaultLocale {versions[0].get('DefaultLocale')} but the default locale file is "
                      f"{locales[0].get('PackageLocale')}")
    return faults


def check(paths):
    files = []
    for path in paths:
        if os.path.isdir(path):
            files += sorted(os.path.join(path, name) for name in os.listdir(path) if name.endswith(".yaml"))
        else:
            files.append(path)
    faults = []
    read = {}
    for path in files:
        own, manifest = faults_of(path)
        faults += [f"{os.path.basename(path)}: {fault}" for fault in own]
        if manifest is not None:
            read[path] = manifest
    faults += set_faults(read)
    return faults


def main(argv):
    parser = argparse.ArgumentParser(description="The setup's package manager manifests.")
    commands = parser.add_subparsers(dest="command", required=True)
    writing = commands.add_parser("write")
    writing.add_argument("--out", required=True)
    writing.add_argument("--url")
    writing.add_argument("--sha256")
    writing.add_argument("--placeholders", action="store_true")
    checking = commands.add_parser("check")
    checking.add_argument("paths", nargs="+")
    args = parser.parse_args(argv)

    if args.command == "write":
        if args.placeholders:
            url, sha256 = PLACEHOLDER_URL, PLACEHOLDER_SHA256
        elif args.url and args.sha256:
            url, sha256 = args.url, args.sha256
        else:
            parser.error("write needs --url and --sha256, or --placeholders")
        paths = write(args.out, url, sha256)
    else:
        paths = args.paths
    faults = check(paths)
    for fault in faults:
        print(f"winget-manifests: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
