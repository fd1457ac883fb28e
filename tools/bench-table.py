#!/usr/bin/env python3
"""Turns the result lines of the benchmarks into one table.

    bench-table.py OUTPUT_FILE

Each benchmark prints lines "result: <product> <key> <value> [<limit>]"; a
limit is the figure's target, an upper bound. The table has one column per
product, in the order the products first appear. A ratio is the median of
the ratios of runs made side by side, round by round; beside it stand the
ratio of the fastest runs and the medians of the times. A figure over its target
says MISSED in its cell and is listed again under the table; so is a
figure with a target that was not measured.
"""
import sys

# key, label, unit, how the limit is compared, and whether every product
# has a target for it (a figure missing there is listed as not measured). A
# ratio key <name>_ratio comes with <name>_ratio_min, <name>_ms and
# <name>_floor_ms, and where given the lowest and highest round's ratio
# <name>_ratio_low and <name>_ratio_high, shown beside it.
ROWS = [
    ("install_ratio", "install run / plain-write floor, in one process", "", "<=", True),
    ("catalogue_ratio", "catalogue build / zlib one-shot uncompress", "", "<=", True),
    ("startup_ratio", "first painted wizard page / empty window program", "", "<=", False),
    ("silent_ratio", "setup /S process / plain-write floor process", "", "<=", True),
    ("peer_ratio", "setup /S / NSIS peer /S, whole processes", "", "<=", True),
    ("size_kb", "setup size without its payload", " KB", "<", True),
    ("peak_mb", "peak working set of setup /S", " MB", "<=", True),
    ("floor_peak_mb", "peak working set of the floor process", " MB", None, False),
    ("floor_window_peak_mb", "peak working set of the floor process with the window call", " MB", None, False),
    ("peak_above_floor_mb", "setup /S peak above the floor process's", " MB", None, False),
    ("peak_above_window_floor_mb", "setup /S peak above the floor with the window call", " MB", None, False),
]


def parse(lines):
    """{product: {key: (value, limit or None)}} and the products in order."""
    results, products = {}, []
    for line in lines:
        fields = line.split()
        if len(fields) not in (4, 5) or fields[0] != "result:":
            continue
        product, key = fields[1], fields[2]
        try:
            value = float(fields[3])
            limit = float(fields[4]) if len(fields) == 5 else None
        except ValueError:
            continue
        if product not in results:
            results[product] = {}
            products.append(product)
        results[product][key] = (value, limit)
    return results, products


def missed(value, limit, comparison):
    if limit is None or comparison is None:
        return False
    return value > limit if comparison == "<=" else value >= limit


def number(value):
    return f"{value:.2f}" if abs(value) < 10 else f"{value:.1f}"


def cell(figures, key, unit, comparison, required=True):
    if key not in figures:
        return "not measured", "not measured" if comparison and required else None
    value, limit = figures[key]
    shown = number(value)
    if missed(value, limit, comparison) and shown == number(limit):
        shown = f"{value:.3f}"  # a miss never reads as the target itself
    text = shown + unit
    if key.endswith("_ratio"):
        name = key[: -len("_ratio")]
        details = []
        if name + "_ratio_low" in figures and name + "_ratio_high" in figures:
            details.append(f"rounds {number(figures[name + '_ratio_low'][0])}–{number(figures[name + '_ratio_high'][0])}")
        if name + "_ratio_min" in figures:
            details.append(f"fastest {number(figures[name + '_ratio_min'][0])}")
        if name + "_ms" in figures and name + "_floor_ms" in figures:
            details.append(f"medians {number(figures[name + '_ms'][0])} / {number(figures[name + '_floor_ms'][0])} ms")
        if details:
            text += f" ({'; '.join(details)})"
    if limit is not None:
        text += f", target {comparison} {number(limit)}{unit}"
    if missed(value, limit, comparison):
        return text + " MISSED", f"{shown}{unit} against {comparison} {number(limit)}{unit}"
    return text, None


def payload_row(results, products):
    cells = []
    for product in products:
        figures = results[product]
        if "inflated_bytes" in figures and "compressed_bytes" in figures:
            inflated, compressed = figures["inflated_bytes"][0], figures["compressed_bytes"][0]
            files = f", {int(figures['files'][0])} files" if "files" in figures else ""
            cells.append(f"{inflated / 2**20:.1f} MB inflated, {compressed / 2**20:.1f} MB compressed{files}")
        else:
            cells.append("not measured")
    return "| payload | " + " | ".join(cells) + " |"


def table(lines):
    """The table's lines and the list of missed targets."""
    results, products = parse(lines)
    for figures in results.values():
        if "peak_mb" in figures and "floor_peak_mb" in figures:
            figures["peak_above_floor_mb"] = (figures["peak_mb"][0] - figures["floor_peak_mb"][0], None)
        if "peak_mb" in figures and "floor_window_peak_mb" in figures:
            figures["peak_above_window_floor_mb"] = (
                figures["peak_mb"][0] - figures["floor_window_peak_mb"][0], None)
    out = ["| figure | " + " | ".join(products) + " |",
           "|---|" + "---|" * len(products),
           payload_row(results, products)]
    misses = []
    for key, label, unit, comparison, required in ROWS:
        cells = []
        for product in products:
            text, miss = cell(results[product], key, unit, comparison, required)
            cells.append(text)
            if miss:
                misses.append(f"{product}: {label}: {miss}")
        out.append(f"| {label} | " + " | ".join(cells) + " |")
    return out, misses


def phase_table(lines):
    """Where a setup /S run's time goes: one row per phase the setup timed
    itself ("phase_<name>_ms", in the order first seen), then the whole
    process's median beside them."""
    results, products = parse(lines)
    names = []
    for product in products:
        for key in results[product]:
            if key.startswith("phase_") and key.endswith("_ms") and key not in names:
                names.append(key)
    if not names:
        return []
    out = ["| phase of setup /S (median ms) | " + " | ".join(products) + " |",
           "|---|" + "---|" * len(products)]
    for key in names:
        label = key[len("phase_"):-len("_ms")].replace("_", " ")
        cells = [number(results[p][key][0]) if key in results[p] else "not measured" for p in products]
        out.append(f"| {label} | " + " | ".join(cells) + " |")
    totals = [number(results[p]["silent_ms"][0]) if "silent_ms" in results[p] else "not measured" for p in products]
    out.append("| whole process | " + " | ".join(totals) + " |")
    # The NSIS peer's whole process beside it, from its own rounds.
    if any("peer_floor_ms" in results[p] for p in products):
        peers = [number(results[p]["peer_floor_ms"][0]) if "peer_floor_ms" in results[p] else "not measured"
                 for p in products]
        out.append("| NSIS peer /S, whole process | " + " | ".join(peers) + " |")
    return out


def main(argv):
    if len(argv) != 1:
        print("usage: bench-table.py OUTPUT_FILE", file=sys.stderr)
        return 2
    with open(argv[0], encoding="utf-8", errors="replace") as f:
        output = f.read().splitlines()
    lines, misses = table(output)
    print("\n".join(lines))
    print()
    phases = phase_table(output)
    if phases:
        print("\n".join(phases))
        print()
    if misses:
        print("Targets missed or not measured:")
        for miss in misses:
            print(f"  {miss}")
    else:
        print("Every target met.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
