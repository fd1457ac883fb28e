#!/usr/bin/env bash
# Runs the benchmarks of make bench on the i686 build, all inside one start
# of the project's Wine prefix, for the shipped setup ("sample") and for the
# large generated product ("large"), then prints one table of the figures:
#   tools/bench-run.sh BUILD_DIR
# The whole output is kept in BUILD_DIR/bench-output.txt.
set -uo pipefail

if [ "${1:-}" = "--inside" ]; then
  # Inside the prefix: each benchmark in turn; one that fails leaves its
  # figures out of the table and the others still run.
  win32=$2/win32
  windows_path() { printf 'Z:%s' "${1//\//\\}"; }
  sample=$(windows_path "$win32/setup.exe")
  large=$(windows_path "$win32/setup_large.exe")
  run() {
    local program=$1
    shift
    echo "== $program $*"
    # Wine says on every start of a program that lists the drives that it
    # cannot read the volume label of Z: (the Unix root); that line is left
    # out, everything else the programs print stays.
    wine "$win32/$program" "$@" 2>&1 | grep -v --line-buffered 'Read access denied for device'
    local status=${PIPESTATUS[0]}
    [ "$status" = 0 ] || echo "== $program ended with exit code $status"
  }
  run install_bench.exe sample "$sample" 15
  run silent_install_bench.exe sample "$sample" 9
  run startup_bench.exe 15
  run install_bench.exe large "$large" 9
  run silent_install_bench.exe large "$large" 7
  run startup_bench.exe 7 large "$large"
  exit 0
fi

build=$(cd "${1:-build}" && pwd) || exit 2
here=$(cd "$(dirname "$0")/.." && pwd)
for program in setup setup_large install_bench silent_install_bench plain_write_floor startup_bench empty_window; do
  if [ ! -f "$build/win32/$program.exe" ]; then
    echo "bench: $build/win32/$program.exe is missing; build the i686 programs first" >&2
    exit 2
  fi
done
output="$build/bench-output.txt"
bash "$here/tools/wine-env.sh" "$build" bash "$here/tools/bench-run.sh" --inside "$build" | tee "$output"
echo
python3 "$here/tools/bench-table.py" "$output"
