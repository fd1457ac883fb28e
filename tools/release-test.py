#!/usr/bin/python3
"""Tests of the release: the package manager manifests and their validation
(tools/winget-manifests.py), the signing step (tools/release.sh) with a
throw-away certificate, what a signature covers, and that the signed setup
installs under Wine exactly as the unsigned one does.
   /usr/bin/python3 tools/release-test.py [BUILD_DIR]
BUILD_DIR (default build) holds the built win32/setup.exe. Runs with
Debian's python3, whose YAML and JSON-schema libraries the tools use."""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "support"))
import release_checks  # noqa: E402

BUILD = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(SOURCE, "build"))
SETUP = os.path.join(BUILD, "win32", "setup.exe")
PAYLOAD = os.path.join(BUILD, "win32", "payload", "payload.bin")
DOCS = os.path.join(SOURCE, "docs", "winget")
INSTALLER = "Quilvane.WordProcessor.installer.yaml"
VERSION_FILE = "Quilvane.WordProcessor.yaml"
LOCALE_FILE = "Quilvane.WordProcessor.locale.en-US.yaml"
URL = "https://downloads.example.invalid/quilvane/4.0.6.7/setup.exe"


def manifests_tool(*args):
    return subprocess.run([sys.executable, os.path.join(HERE, "winget-manifests.py"), *args],
                          capture_output=True, text=True)


def read_yaml(path):
    with open(path, encoding="utf-8") as f:
        return yaml.load(f, Loader=yaml.BaseLoader)


def sha256_of(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest().upper()


def verify(path, ca):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], capture_output=True, text=True)


def source_constant(relative, name):
    """The text of a `const char name[] = "...";` in a source file."""
    with open(os.path.join(SOURCE, relative), encoding="utf-8") as f:
        found = re.search(r'\b%s\[\]\s*=\s*"((?:[^"\\]|\\.)*)"' % re.escape(name), f.read())
    if not found:
        raise AssertionError(f"{name} not found in {relative}")
    return re.sub(r"\\(.)", r"\1", found.group(1))


class ManifestTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.temp.cleanup()

    def test_committed_manifests_are_the_writers_form_and_validate(self):
        out = os.path.join(self.temp.name, "written")
        run = manifests_tool("write", "--out", out, "--placeholders")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(sorted(os.listdir(out)), sorted(os.listdir(DOCS)))
        for name in os.listdir(out):
            with open(os.path.join(out, name), "rb") as a, open(os.path.join(DOCS, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), f"docs/winget/{name} is not what the tool writes")
        run = manifests_tool("check", DOCS)
        self.assertEqual(run.returncode, 0, run.stderr)

    def test_validation_refuses_what_the_package_manager_refuses(self):
        # (what, file, text replaced, replacement, fault named; None: valid)
        cases = [
            ("the singleton form", INSTALLER, "ManifestType: installer", "ManifestType: singleton",
             "no schema for ManifestType singleton"),
            ("return code 0", INSTALLER, "InstallerReturnCode: 1\n", "InstallerReturnCode: 0\n",
             "ExpectedReturnCodes/0/InstallerReturnCode"),
            ("return code not a number", INSTALLER, "InstallerReturnCode: 3\n", "InstallerReturnCode: three\n",
             "'three' is not of type 'integer'"),
            ("unknown return response", INSTALLER, "ReturnResponse: packageInUse", "ReturnResponse: busy",
             "'busy' is not one of"),
            ("short checksum", INSTALLER, "InstallerSha256: 0000", "InstallerSha256: 000",
             "Installers/0/InstallerSha256"),
            ("no checksum", INSTALLER, "    InstallerSha256: " + "0" * 64 + "\n", "",
             "'InstallerSha256' is a required property"),
            ("address not http", INSTALLER, "InstallerUrl: https://", "InstallerUrl: ftp://",
             "Installers/0/InstallerUrl"),
            ("unknown elevation", INSTALLER, "ElevationRequirement: elevatesSelf", "ElevationRequirement: admin",
             "ElevationRequirement"),
            ("misspelt key", INSTALLER, "UpgradeBehavior:", "UpgradeBehaviour:", "unknown key UpgradeBehaviour"),
            ("misspelt key of an entry", INSTALLER, "    Publisher:", "    Publsher:",
             "AppsAndFeaturesEntries/0: unknown key Publsher"),
            ("key given twice", INSTALLER, "Scope: machine\n", "Scope: machine\nScope: user\n",
             "the key Scope is given twice"),
            ("versions differ", LOCALE_FILE, "PackageVersion: 4.0.6.7", "PackageVersion: 4.1.2.0",
             "the files differ in PackageVersion"),
            ("default locale not given", VERSION_FILE, "DefaultLocale: en-US", "DefaultLocale: de-DE",
             "DefaultLocale de-DE but the default locale file is en-US"),
            ("two installer files", VERSION_FILE, "ManifestType: version", "ManifestType: installer",
             "0 files of ManifestType version"),
            # Scalars are text as the package manager reads them: a version
            # that YAML alone would take for a number passes.
            ("a version like a number", None, "PackageVersion: 4.0.6.7", "PackageVersion: 4.0", None),
        ]
        for what, file, old, new, fault in cases:
            with self.subTest(what):
                folder = os.path.join(self.temp.name, re.sub(r"\W+", "-", what))
                shutil.copytree(DOCS, folder)
                for name in ([file] if file else os.listdir(folder)):
                    path = os.path.join(folder, name)
                    with open(path, encoding="utf-8") as f:
                        text = f.read()
                    self.assertIn(old, text)
                    with open(path, "w", encoding="utf-8") as f:
                        f.write(text.replace(old, new, 1))
                run = manifests_tool("check", folder)
                if fault is None:
                    self.assertEqual(run.returncode, 0, run.stderr)
                else:
                    self.assertEqual(run.returncode, 1, run.stderr)
                    self.assertIn(fault, run.stderr)

    def test_installer_manifest_is_the_setups_own(self):
        installer = read_yaml(os.path.join(DOCS, INSTALLER))
        entry = installer["AppsAndFeaturesEntries"][0]
        uninstall = "registration/UninstallEntry.cpp"
        # What the package manager matches an installed copy by: the
        # uninstall entry the setup writes, the key's name as product code.
        self.assertEqual(entry, {
            "DisplayName": source_constant(uninstall, "kUninstallDisplayName"),
            "Publisher": source_constant(uninstall, "kUninstallPublisher"),
            "DisplayVersion": source_constant(uninstall, "kUninstallDisplayVersion"),
            "ProductCode": source_constant(uninstall, "kUninstallKey").rsplit("\\", 1)[1],
        })
        self.assertEqual(installer["PackageVersion"], entry["DisplayVersion"])
        # Every exit code the program defines but 0 has its response, also
        # one added later.
        with open(os.path.join(SOURCE, "setup", "ExitCodes.h"), encoding="utf-8") as f:
            codes = {int(n) for n in re.findall(r"constexpr int kExit\w+ = (\d+);", f.read())}
        self.assertIn(0, codes)
        self.assertEqual(sorted(int(c["InstallerReturnCode"]) for c in installer["ExpectedReturnCodes"]),
                         sorted(codes - {0}))
        with open(os.path.join(SOURCE, "resources", "setup.manifest"), encoding="utf-8") as f:
            self.assertIn('level="requireAdministrator"', f.read())
        self.assertEqual(installer["ElevationRequirement"], "elevatesSelf")


@unittest.skipUnless(os.path.exists(SETUP), f"no {SETUP}: build it first")
class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.keys = release_checks.make_signing_files(os.path.join(cls.temp.name, "keys"))
        with open(SETUP, "rb") as f:
            cls.unsigned = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def release(self, name, **settings):
        """Runs the release step on a build folder of its own holding this
        build's setup; its run and its release folder."""
        build = os.path.join(self.temp.name, name)
        os.makedirs(os.path.join(build, "win32"), exist_ok=True)
        shutil.copyfile(SETUP, os.path.join(build, "win32", "setup.exe"))
        environment = {k: v for k, v in os.environ.items()
                       if k not in ("CERT", "KEY", "PFX", "PFX_PASS_FILE", "URL", "TIMESTAMP", "CA")}
        environment.update(settings)
        run = subprocess.run(["bash", os.path.join(HERE, "release.sh"), build],
                             env=environment, capture_output=True, text=True)
        return run, os.path.join(build, "release")

    def test_release_signs_verifies_and_writes_the_manifests(self):
        cases = {
            "certificate and key": dict(CERT=self.keys["cert"], KEY=self.keys["key"]),
            "PKCS#12 with a password": dict(PFX=self.keys["pfx"], PFX_PASS_FILE=self.keys["pass"]),
        }
        for what, settings in cases.items():
            with self.subTest(what):
                run, release = self.release(re.sub(r"\W+", "-", what), URL=URL, CA=self.keys["ca"], **settings)
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                signed = os.path.join(release, "setup.exe")
                self.assertEqual(run.stdout.splitlines()[-1], f"SHA-256: {sha256_of(signed)}")
                checked = verify(signed, self.keys["ca"])
                self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
                self.assertIn("Message digest algorithm  : SHA256", checked.stdout)
                self.assertIn("Text description: Quilvane Word Processor", checked.stdout)
                self.assertIn("Subject: /CN=Quilvane test signer", checked.stdout)
                # Another CA does not vouch for it.
                self.assertNotEqual(verify(signed, self.keys["other_ca"]).returncode, 0)

                manifests = os.path.join(release, "manifests")
                self.assertEqual(sorted(os.listdir(manifests)), sorted(os.listdir(DOCS)))
                run = manifests_tool("check", manifests)
                self.assertEqual(run.returncode, 0, run.stderr)
                installer = read_yaml(os.path.join(manifests, INSTALLER))
                self.assertEqual(installer["Installers"],
                                 [{"Architecture": "x86", "InstallerUrl": URL, "InstallerSha256": sha256_of(signed)}])

    def test_signature_changes_nothing_the_setup_reads_of_itself(self):
        run, release = self.release("unchanged", URL=URL, CA=self.keys["ca"],
                                    CERT=self.keys["cert"], KEY=self.keys["key"])
        self.assertEqual(run.returncode, 0, run.stderr)
        with open(os.path.join(release, "setup.exe"), "rb") as f:
            signed = f.read()
        layout = release_checks.PeLayout(signed)
        self.assertEqual(layout.cert_table, len(self.unsigned), "the signature is not appended")
        # Up to the signature only the checksum and the certificate table's
        # directory entry differ: code, data and resources (the payload) are
        # the unsigned setup's own bytes.
        fields = set(range(layout.checksum, layout.checksum + 4)) | \
            set(range(layout.security_entry, layout.security_entry + 8))
        differing = {i for start, end in release_checks.differing_ranges(signed[:len(self.unsigned)], self.unsigned)
                     for i in range(start, end)}
        self.assertEqual(differing - fields, set())
        self.assertTrue(differing & set(range(layout.security_entry, layout.security_entry + 8)))
        self.assertGreater(len(signed), len(self.unsigned))

    def test_a_changed_byte_fails_verification_where_the_signature_covers_it(self):
        run, release = self.release("tampered", URL=URL, CA=self.keys["ca"],
                                    CERT=self.keys["cert"], KEY=self.keys["key"])
        self.assertEqual(run.returncode, 0, run.stderr)
        with open(os.path.join(release, "setup.exe"), "rb") as f:
            signed = f.read()
        layout = release_checks.PeLayout(signed)
        with open(PAYLOAD, "rb") as f:
            payload = f.read()
        payload_at = signed.find(payload)
        self.assertGreater(payload_at, 0, "the payload is not in the setup")
        resources, _ = layout.sections[".rsrc"]
        code, _ = layout.sections[".text"]
        # (place, offset, still verifies)
        cases = [
            ("a byte of the payload", payload_at + len(payload) // 2, False),
            ("the payload's last byte", payload_at + len(payload) - 1, False),
            ("the resource directory", resources + 12, False),
            ("a byte of code", code + 64, False),
            ("the header's time stamp", layout.timestamp, False),
            # The signature leaves the checksum out, which shows the
            # places above are read where they lie.
            ("the checksum field", layout.checksum, True),
        ]
        for place, offset, verifies in cases:
            with self.subTest(place):
                changed = bytearray(signed)
                changed[offset] ^= 0x5A
                path = os.path.join(self.temp.name, "changed.exe")
                with open(path, "wb") as f:
                    f.write(changed)
                checked = verify(path, self.keys["ca"])
                self.assertEqual(checked.returncode == 0, verifies, checked.stdout)

    def test_release_refuses_and_leaves_no_release(self):
        k = self.keys
        signer = dict(CERT=k["cert"], KEY=k["key"])
        # (what, settings, refusal named, whether signing began). Arguments
        # that cannot make a release are refused before anything is touched;
        # once signing began, a failure leaves no release at all, not even
        # an earlier one that could be taken for this one.
        cases = [
            ("no certificate", dict(URL=URL), "no certificate", False),
            ("certificate without key", dict(URL=URL, CERT=k["cert"]), "CERT and KEY go together", False),
            ("key without certificate", dict(URL=URL, KEY=k["key"]), "CERT and KEY go together", False),
            ("both kinds", dict(URL=URL, PFX=k["pfx"], **signer), "not both", False),
            ("password without PFX", dict(URL=URL, PFX_PASS_FILE=k["pass"], **signer), "no PFX is given", False),
            ("missing certificate file", dict(URL=URL, CERT=k["cert"] + ".gone", KEY=k["key"]),
             "CERT: no such file", False),
            ("no address", dict(**signer), "no URL", False),
            ("not a web address", dict(URL="ftp://example.invalid/setup.exe", **signer), "http or https", False),
            ("key of another certificate", dict(URL=URL, CA=k["ca"], CERT=k["cert"], KEY=k["other_key"]),
             "osslsigncode could not sign", True),
            ("wrong PFX password", dict(URL=URL, PFX=k["pfx"], PFX_PASS_FILE=k["key"]),
             "osslsigncode could not sign", True),
            ("a CA that did not issue it", dict(URL=URL, CA=k["other_ca"], **signer), "does not verify", True),
            # Nothing listens on the discard port here: the server cannot be
            # reached.
            ("time-stamping server unreachable", dict(URL=URL, TIMESTAMP="http://127.0.0.1:9/", **signer),
             "osslsigncode could not sign", True),
        ]
        for what, settings, refusal, began in cases:
            with self.subTest(what):
                name = re.sub(r"\W+", "-", what)
                earlier = os.path.join(self.temp.name, name, "release")
                os.makedirs(os.path.join(earlier, "manifests"), exist_ok=True)
                shutil.copyfile(SETUP, os.path.join(earlier, "setup.exe"))
                run, release = self.release(name, **settings)
                self.assertEqual(run.returncode, 2, run.stdout + run.stderr)
                self.assertIn(refusal, run.stderr)
                self.assertNotIn("SHA-256", run.stdout)
                self.assertEqual(sorted(os.listdir(release)), [] if began else ["manifests", "setup.exe"])


def no_32bit_reason():
    return subprocess.run(["bash", "-c", f". '{HERE}/wine-machine.sh'; qwp_no_32bit_reason"],
                          capture_output=True, text=True, check=True).stdout.strip()


@unittest.skipUnless(os.path.exists(SETUP), f"no {SETUP}: build it first")
class SignedInstallTest(unittest.TestCase):
    """The signed setup installs unattended exactly as the unsigned one, in a
    Wine prefix of this test's own below the build folder."""

    def test_signed_setup_installs_as_the_unsigned_one(self):
        reason = no_32bit_reason()
        if reason:
            self.skipTest(reason)
        home = os.path.join(BUILD, "release-test")
        out = os.path.join(home, "installs")
        with tempfile.TemporaryDirectory() as temp:
            keys = release_checks.make_signing_files(os.path.join(temp, "keys"))
            signed = os.path.join(temp, "signed.exe")
            sign = subprocess.run(["osslsigncode", "sign", "-certs", keys["cert"], "-key", keys["key"],
                                   "-h", "sha256", "-n", "Quilvane Word Processor", "-in", SETUP, "-out", signed],
                                  capture_output=True, text=True)
            self.assertEqual(sign.returncode, 0, sign.stdout + sign.stderr)
            run = subprocess.run(
                ["bash", os.path.join(HERE, "wine-env.sh"), BUILD,
                 "bash", os.path.join(SOURCE, "tests", "support", "install-each.sh"), out,
                 f"unsigned={SETUP}", f"signed={signed}"],
                env={**os.environ, "QWP_WINE_HOME": home}, capture_output=True, text=True, timeout=600)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)

        key = ("Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\"
               "Quilvane Word Processor")
        installs = {}
        for name in ("unsigned", "signed"):
            exit_code, files = release_checks.read_installation(os.path.join(out, name))
            self.assertEqual(exit_code, 0, f"the {name} setup ended with {exit_code}")
            self.assertIn("Program Files (x86)/Quilvane/qwp.exe", files, f"the {name} setup installed nothing")
            installs[name] = files
        unsigned, signed = installs["unsigned"], installs["signed"]
        self.assertEqual(sorted(signed), sorted(unsigned), "the two installs wrote different files")
        self.assertEqual([p for p in unsigned if unsigned[p] != signed[p]], [], "files that differ")
        sizes = [release_checks.registry_values(os.path.join(out, name, "system.reg"), key).get("EstimatedSize")
                 for name in ("unsigned", "signed")]
        # The same files, but for the stand-in word processor's start log
        # (one cluster) that the measure may or may not have found.
        self.assertTrue(all(isinstance(size, int) for size in sizes) and abs(sizes[0] - sizes[1]) <= 4, sizes)
        for hive in ("system.reg", "user.reg", "userdef.reg"):
            with self.subTest(hive):
                self.assertEqual(release_checks.registry_lines(os.path.join(out, "signed", hive)),
                                 release_checks.registry_lines(os.path.join(out, "unsigned", hive)))

        # The package manager finds the installed copy by the manifest's entry.
        values = release_checks.registry_values(os.path.join(out, "signed", "system.reg"), key)
        entry = read_yaml(os.path.join(DOCS, INSTALLER))["AppsAndFeaturesEntries"][0]
        self.assertEqual({name: values.get(name) for name in ("DisplayName", "Publisher", "DisplayVersion")},
                         {name: entry[name] for name in ("DisplayName", "Publisher", "DisplayVersion")})
        self.assertTrue(key.endswith("\\\\" + entry["ProductCode"]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
