#!/usr/bin/env python3
"""Tests of the benchmark tools: the large product generator, the file list
of the NSIS peer and the table of results.   python3 tools/bench-tools-test.py"""
import importlib.util
import os
import shutil
import subprocess
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def load(name, file):
    found = importlib.util.spec_from_file_location(name, os.path.join(HERE, file))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


product = load("make_large_product", "make_large_product.py")
bench_table = load("bench_table", "bench-table.py")
peer_files = load("make_peer_files", "make_peer_files.py")

MANIFEST = (
    "#name\tsource\ttimestamp\n"
    "qwp.exe\t@qwp\t2025-09-18 11:42:36\n"
    "\n"
    "empty.tlx\tempty.tlx\t2024-01-16 15:44:04\n"
    "Templates\\Small.rtf\tTemplates/Small.rtf\t2024-03-04 13:28:22\n"
    "Templates\\Same A.rtf\tTemplates/Same A.rtf\t2024-03-05 18:11:18\n"
    "Templates\\Same B.rtf\tTemplates/Same B.rtf\t2024-03-06 17:55:24\n"
    "Large.asc\tLarge.asc\t2024-01-15 10:47:40\n"
)
SOURCE_SIZES = {"empty.tlx": 0, "Templates/Small.rtf": 7, "Templates/Same A.rtf": 300,
                "Templates/Same B.rtf": 300, "Large.asc": 1393}


class GeneratorTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.temp.name, "sample")
        for source, size in SOURCE_SIZES.items():
            os.makedirs(os.path.dirname(os.path.join(self.root, source)), exist_ok=True)
            with open(os.path.join(self.root, source), "wb") as f:
                f.write(b"x" * size)
        self.manifest = os.path.join(self.temp.name, "manifest.tsv")
        with open(self.manifest, "w", newline="\n") as f:
            f.write(MANIFEST)

    def tearDown(self):
        self.temp.cleanup()

    def generate(self, name, total):
        out = os.path.join(self.temp.name, name)
        self.assertEqual(product.main(["--manifest", self.manifest, "--root", self.root,
                                       "--out", out, "--total", str(total)]), 0)
        return out

    def sizes(self, out):
        return {s: os.path.getsize(os.path.join(out, "files", s)) for s in SOURCE_SIZES}

    def test_manifest_keeps_names_sources_stamps_and_order(self):
        out = self.generate("large", 200000)
        self.assertEqual(product.read_manifest(os.path.join(out, "manifest.tsv")),
                         product.read_manifest(self.manifest))
        self.assertFalse(os.path.exists(os.path.join(out, "files", "@qwp")))

    def test_sizes_scale_to_exactly_the_total_and_empty_stays_empty(self):
        total = 200000
        sizes = self.sizes(self.generate("large", total))
        self.assertEqual(sum(sizes.values()), total)
        self.assertEqual(sizes["empty.tlx"], 0)
        whole = sum(SOURCE_SIZES.values())
        for source in ("Templates/Small.rtf", "Templates/Same A.rtf", "Templates/Same B.rtf"):
            self.assertEqual(sizes[source], SOURCE_SIZES[source] * total // whole, source)
        self.assertGreater(sizes["Templates/Small.rtf"], 0)

    def test_same_inputs_give_the_same_bytes_and_files_differ_from_each_other(self):
        first, second = self.generate("one", 50000), self.generate("two", 50000)
        for source in SOURCE_SIZES:
            with open(os.path.join(first, "files", source), "rb") as a, \
                 open(os.path.join(second, "files", source), "rb") as b:
                self.assertEqual(a.read(), b.read(), source)
        with open(os.path.join(first, "files", "Templates/Same A.rtf"), "rb") as a, \
             open(os.path.join(first, "files", "Templates/Same B.rtf"), "rb") as b:
            self.assertNotEqual(a.read(), b.read())

    def test_text_compresses_between_two_and_five_to_one(self):
        # Under five, the setup's first inflation buffer (five times the
        # stream) holds it, as it holds the shipped payload; over two, it is
        # text rather than noise.
        out = self.generate("large", 4 << 20)
        with open(os.path.join(out, "files", "Large.asc"), "rb") as f:
            data = f.read()
        ratio = len(data) / len(zlib.compress(data, 9))
        self.assertGreater(ratio, 2)
        self.assertLess(ratio, 5)

    def test_a_manifest_line_without_three_fields_is_refused(self):
        with open(self.manifest, "a") as f:
            f.write("broken line\n")
        out = os.path.join(self.temp.name, "refused")
        self.assertEqual(product.main(["--manifest", self.manifest, "--root", self.root, "--out", out]), 1)
        self.assertFalse(os.path.exists(os.path.join(out, "manifest.tsv")))


class TableTest(unittest.TestCase):
    LINES = [
        "round 1: noise that is not a result",
        "result: sample install_ratio 1.3 1.3",
        "result: sample install_ms 13 ",
        "result: sample install_floor_ms 10",
        "result: sample install_ratio_min 1.25",
        "result: sample size_kb 350 350",
        "result: sample peak_mb 20 25",
        "result: large install_ratio 1.302 1.3",
        "result: large size_kb 349.9 350",
    ]

    def test_products_are_columns_in_order_of_appearance(self):
        lines, _ = bench_table.table(self.LINES)
        self.assertEqual(lines[0], "| figure | sample | large |")

    def test_limits_compare_as_their_targets_say(self):
        lines, misses = bench_table.table(self.LINES)
        row = next(line for line in lines if line.startswith("| install run"))
        sample_cell, large_cell = row.split("|")[2:4]
        self.assertNotIn("MISSED", sample_cell)  # 1.3 meets <= 1.3
        self.assertIn("MISSED", large_cell)     # 1.302 does not
        self.assertIn("1.30 (fastest 1.25; medians 13.0 / 10.0 ms)", sample_cell)
        self.assertIn("1.302", large_cell)      # not "1.30", which would read as met
        size_row = next(line for line in lines if line.startswith("| setup size"))
        self.assertIn("MISSED", size_row.split("|")[2])      # 350 is not < 350
        self.assertNotIn("MISSED", size_row.split("|")[3])
        self.assertIn("large: install run / plain-write floor, in one process: 1.302 against <= 1.30", misses)
        self.assertIn("sample: setup size without its payload: 350.000 KB against < 350.0 KB", misses)

    def test_a_target_without_its_figure_is_listed_as_not_measured(self):
        _, misses = bench_table.table(self.LINES)
        self.assertIn("large: peak working set of setup /S: not measured", misses)
        self.assertIn("sample: catalogue build / zlib one-shot uncompress: not measured", misses)
        self.assertFalse(any("sample: peak working set of setup /S" in miss for miss in misses))
        self.assertFalse(any("first painted" in miss for miss in misses))  # no target

    def test_phases_are_rows_in_order_with_the_whole_process_last(self):
        lines = bench_table.phase_table(self.LINES + [
            "result: sample phase_start-up_ms 40",
            "result: sample phase_post-install_actions_ms 12.5",
            "result: large phase_start-up_ms 41",
            "result: large phase_size_walk_ms 3",
            "result: sample silent_ms 200",
        ])
        self.assertEqual(lines[0], "| phase of setup /S (median ms) | sample | large |")
        self.assertEqual(lines[2], "| start-up | 40.0 | 41.0 |")
        self.assertEqual(lines[3], "| post-install actions | 12.5 | not measured |")
        self.assertEqual(lines[4], "| size walk | not measured | 3.00 |")
        self.assertEqual(lines[-1], "| whole process | 200.0 | not measured |")
        self.assertEqual(bench_table.phase_table(self.LINES), [])


class MemoryTableTest(unittest.TestCase):
    def test_the_peak_is_shown_above_each_floor_it_has(self):
        cases = [
            # lines, peak above the floor, above the floor with the window call
            (["result: sample peak_mb 18.5 18", "result: sample floor_peak_mb 13.25",
              "result: sample floor_window_peak_mb 17"], "5.25 MB", "1.50 MB"),
            (["result: sample peak_mb 16 18", "result: sample floor_peak_mb 13"], "3.00 MB", "not measured"),
            (["result: sample peak_mb 16 18", "result: sample floor_window_peak_mb 16.5"],
             "not measured", "-0.50 MB"),
        ]
        for lines, above_floor, above_window_floor in cases:
            with self.subTest(lines=lines):
                table, _ = bench_table.table(lines)
                rows = {line.split("|")[1].strip(): line.split("|")[2].strip() for line in table[3:]}
                self.assertEqual(rows["setup /S peak above the floor process's"], above_floor)
                self.assertEqual(rows["setup /S peak above the floor with the window call"], above_window_floor)

    def test_the_peak_misses_only_over_the_limit_the_benchmark_gave(self):
        _, misses = bench_table.table(["result: sample peak_mb 18.5 18", "result: sample floor_window_peak_mb 17",
                                       "result: large peak_mb 150 151", "result: large floor_window_peak_mb 150"])
        self.assertIn("sample: peak working set of setup /S: 18.5 MB against <= 18.0 MB", misses)
        self.assertFalse(any(miss.startswith("large:") and "peak" in miss for miss in misses))


class PeerTableTest(unittest.TestCase):
    LINES = [
        "result: sample peer_ratio 0.95 0.8",
        "result: sample peer_ratio_low 0.9",
        "result: sample peer_ratio_high 1.12",
        "result: sample peer_ratio_min 0.93",
        "result: sample peer_ms 400",
        "result: sample peer_floor_ms 421",
        "result: sample silent_ms 410",
        "result: sample phase_copy_ms 100",
        "result: large peer_ratio 0.8 0.8",
        "result: large peer_floor_ms 900",
    ]

    def test_the_peer_ratio_shows_its_spread_and_meets_or_misses_its_target(self):
        lines, misses = bench_table.table(self.LINES)
        row = next(line for line in lines if line.startswith("| setup /S / NSIS peer /S"))
        sample_cell, large_cell = row.split("|")[2:4]
        self.assertEqual(sample_cell.strip(), "0.95 (rounds 0.90–1.12; fastest 0.93; medians 400.0 / 421.0 ms), "
                                              "target <= 0.80 MISSED")
        self.assertEqual(large_cell.strip(), "0.80, target <= 0.80")
        self.assertIn("sample: setup /S / NSIS peer /S, whole processes: 0.95 against <= 0.80", misses)
        self.assertFalse(any(miss.startswith("large: setup /S / NSIS peer") for miss in misses))

    def test_an_unbuilt_peer_is_listed_as_not_measured(self):
        lines, misses = bench_table.table(["result: sample size_kb 300 350"])
        self.assertIn("sample: setup /S / NSIS peer /S, whole processes: not measured", misses)
        row = next(line for line in lines if line.startswith("| setup /S / NSIS peer /S"))
        self.assertEqual(row.split("|")[2].strip(), "not measured")

    def test_the_phase_table_ends_with_the_peers_whole_process(self):
        lines = bench_table.phase_table(self.LINES)
        self.assertEqual(lines[-2], "| whole process | 410.0 | not measured |")
        self.assertEqual(lines[-1], "| NSIS peer /S, whole process | 421.0 | 900.0 |")
        self.assertNotIn("NSIS", "\n".join(bench_table.phase_table(["result: sample phase_copy_ms 1"])))


# As list_payload prints it: payload order, not the plan's; a name may hold
# two blanks, a dollar and a quote-like character.
LISTING = """\
        12  2025-09-18 11:42:36  qwp.exe
         0  2024-01-15 10:47:40  ENGLISH (AMERICAN).ASC
         3  2024-01-17 08:11:22  English (American).cache
         4  2024-03-04 13:28:22  Templates\\Faxes\\Fax  1.rtf
         4  2024-03-04 13:28:22  Templates\\Faxes\\Fax $2.rtf
         4  2024-03-04 13:28:22  Templates\\Top.rtf
         5  2024-03-04 13:28:22  My Templates\\Not planned.rtf
         5  2024-03-04 13:28:22  Readme.txt
         7  2025-08-27 16:05:12  License.txt
         7  2025-08-27 16:05:12  license.txt
         9  2024-05-06 10:30:06  clip library\\Closings\\Sincerely.rtf
         1  2024-05-06 10:30:06  Basic.asn
         2  2024-05-06 10:30:06  Hyphenation.dat
12 entries, 100 bytes compressed, 200 bytes inflated
"""


class PeerFilesTest(unittest.TestCase):
    def copies(self):
        return peer_files.planned_copies(peer_files.read_listing(LISTING.splitlines()))

    def test_the_listing_gives_every_name_in_payload_order_and_not_the_totals(self):
        names = peer_files.read_listing(LISTING.splitlines(keepends=True))
        self.assertEqual(len(names), 13)
        self.assertEqual(names[3], "Templates\\Faxes\\Fax  1.rtf")
        self.assertEqual(names[-1], "Hyphenation.dat")

    def test_copies_follow_the_plan_order_folders_and_names(self):
        spelling = "$PublicDir\\Spellcheck"
        self.assertEqual(self.copies(), [
            (0, "qwp.exe", "$INSTDIR", "qwp.exe"),
            (0, "License.txt", "$INSTDIR", "License.txt"),  # the first of two names alike
            (1, "ENGLISH (AMERICAN).ASC", spelling, "ENGLISH (AMERICAN).ASC"),
            (1, "English (American).cache", spelling, "English (American).cache"),
            (1, "English (American).cache", spelling, "English (British).cache"),
            (2, "Hyphenation.dat", "$INSTDIR", "Hyphenation.dat"),
            (3, "Templates\\Faxes\\Fax  1.rtf", "$PublicDir", "Templates\\Faxes\\Fax  1.rtf"),
            (3, "Templates\\Faxes\\Fax $2.rtf", "$PublicDir", "Templates\\Faxes\\Fax $2.rtf"),
            (3, "Templates\\Top.rtf", "$PublicDir", "Templates\\Top.rtf"),
            (4, "clip library\\Closings\\Sincerely.rtf", "$PublicDir", "clip library\\Closings\\Sincerely.rtf"),
            (5, "Basic.asn", "$PublicDir", "Basic.asn"),
        ])

    def test_the_nsis_list_changes_folder_only_when_it_must_and_escapes_names(self):
        lines = peer_files.nsis_lines(self.copies())
        start = lines.index("!macro QWP_FILES_3")
        self.assertEqual(lines[start:lines.index("!macroend", start) + 1], [
            "!macro QWP_FILES_3",
            '  SetOutPath "$PublicDir\\Templates\\Faxes"',
            '  File "${QWP_TREE}/Templates/Faxes/Fax  1.rtf"',
            '  File "${QWP_TREE}/Templates/Faxes/Fax $2.rtf"',
            '  SetOutPath "$PublicDir\\Templates"',
            '  File "${QWP_TREE}/Templates/Top.rtf"',
            "!macroend",
        ])
        self.assertIn('  File "/oname=English (British).cache" "${QWP_TREE}/English (American).cache"', lines)
        self.assertEqual(peer_files.quoted('a"b$c'), '"a$\\"b$$c"')
        self.assertEqual(sum(line.startswith("!macro ") for line in lines), 6)

    def test_a_listing_without_the_word_processor_is_refused(self):
        with tempfile.TemporaryDirectory() as temp:
            listing, out = os.path.join(temp, "listing.txt"), os.path.join(temp, "files.nsh")
            with open(listing, "w") as f:
                f.write("         1  2024-05-06 10:30:06  Basic.asn\n")
            self.assertEqual(peer_files.main(["--listing", listing, "--out", out]), 1)
            self.assertFalse(os.path.exists(out))


@unittest.skipUnless(shutil.which("makensis"), "makensis is not installed")
class PeerScriptTest(unittest.TestCase):
    """The committed script compiles for both stubs with a generated list."""

    def test_the_peer_compiles_for_x86_and_amd64(self):
        script = os.path.join(HERE, "..", "bench", "peer", "quilvane-peer.nsi")
        with tempfile.TemporaryDirectory() as temp:
            tree = os.path.join(temp, "tree")
            for name in peer_files.read_listing(LISTING.splitlines()):
                path = os.path.join(tree, *name.split("\\"))
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(b"MZ" + name.encode())
            listing, files = os.path.join(temp, "listing.txt"), os.path.join(temp, "files.nsh")
            with open(listing, "w") as f:
                f.write(LISTING)
            self.assertEqual(peer_files.main(["--listing", listing, "--out", files]), 0)
            for target in ("x86-unicode", "amd64-unicode"):
                out = os.path.join(temp, target + ".exe")
                built = subprocess.run(["makensis", "-V2", f"-DQWP_TARGET={target}", f"-DQWP_TREE={tree}",
                                        f"-DQWP_FILES={files}", f"-DQWP_OUT={out}", script],
                                       capture_output=True, text=True)
                self.assertEqual(built.returncode, 0, built.stdout + built.stderr)
                with open(out, "rb") as f:
                    header = f.read(4096)
                self.assertEqual(header[:2], b"MZ")
                machine = header[int.from_bytes(header[60:64], "little") + 4:][:2]
                self.assertEqual(machine, b"\x64\x86" if target.startswith("amd64") else b"\x4c\x01", target)


if __name__ == "__main__":
    unittest.main()
