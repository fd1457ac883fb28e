#!/usr/bin/env bash
# Runs the benchmarks of make bench, all inside one start of a Wine prefix
# of their own (BUILD_DIR/bench), for the shipped setup ("sample") and for
# the large generated product ("large"), each also against an NSIS installer
# of the same product, then prints one table of the figures:
#   tools/bench-run.sh BUILD_DIR
# It measures the shipped i686 build, or the x86_64 build where this
# machine's kernel runs no 32-bit code; it says which above its tables. The
# whole output is kept in BUILD_DIR/bench-output.txt.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/wine-machine.sh"

if [ "${1:-}" = "--inside" ]; then
  # Inside the prefix: each benchmark in turn; one that fails leaves its
  # figures out of the table and the others still run.
  programs=$2/$3
  windows_path() { printf 'Z:%s' "${1//\//\\}"; }
  sample=$(windows_path "$programs/setup.exe")
  large=$(windows_path "$programs/setup_large.exe")
  # The NSIS installers of the same products (built where makensis is).
  peer() {
    local label=$1 setup=$2 installer=$3 rounds=$4
    if [ -f "$programs/$installer" ]; then
      run peer_bench.exe "$label" "$setup" "$(windows_path "$programs/$installer")" "$rounds"
    else
      echo "== $label: no NSIS peer ($installer was not built: makensis is missing)"
    fi
  }
  run() {
    local program=$1
    shift
    echo "== $program $*"
    # Wine says on every start of a program that lists the drives that it
    # cannot read the volume label of Z: (the Unix root); that line is left
    # out, everything else the programs print stays.
    qwp_wine "$programs/$program" "$@" 2>&1 | grep -v --line-buffered 'Read access denied for device'
    local status=${PIPESTATUS[0]}
    [ "$status" = 0 ] || echo "== $program ended with exit code $status"
  }
  run install_bench.exe sample "$sample" 15
  run silent_install_bench.exe sample "$sample" 9
  peer sample "$sample" peer_setup.exe 7
  run startup_bench.exe 15
  run install_bench.exe large "$large" 9
  run silent_install_bench.exe large "$large" 7
  peer large "$large" peer_setup_large.exe 7
  run startup_bench.exe 7 large "$large"
  exit 0
fi

build=$(cd "${1:-build}" && pwd) || exit 2
arch=$(bash "$here/tools/wine-machine.sh" build)
for program in setup setup_timed setup_large setup_large_timed install_bench silent_install_bench plain_write_floor startup_bench empty_window peer_bench; do
  if [ ! -f "$build/$arch/$program.exe" ]; then
    echo "bench: $build/$arch/$program.exe is missing; build the $arch programs first" >&2
    exit 2
  fi
done
if [ "$arch" = win32 ]; then
  heading="the shipped i686 programs"
  stub=x86-unicode
else
  heading="the x86_64 programs ($(qwp_no_32bit_reason)); not comparable with figures of the i686 programs"
  stub=amd64-unicode
fi
output="$build/bench-output.txt"
echo "== make bench measures $heading; the NSIS peers are built with the $stub stub ==" | tee "$output"
QWP_WINE_HOME="$build/bench" bash "$here/tools/wine-env.sh" "$build" \
  bash "$here/tools/bench-run.sh" --inside "$build" "$arch" | tee -a "$output"
echo
echo "Figures of $heading:"
python3 "$here/tools/bench-table.py" "$output"
