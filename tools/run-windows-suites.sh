#!/usr/bin/env bash
# Runs every Windows test program of one build inside the prefix and display
# that tools/wine-env.sh set up:
#   tools/run-windows-suites.sh BUILD_DIR win32|win64
# A program of the build is started first: a machine that cannot run it
# cannot run any program of that architecture. Where the kernel runs no
# 32-bit code (or QWP_WINE64_ONLY=1 asks for Wine's 64-bit loader only), the
# i686 suites are not run and BUILD_DIR/win32/results/skipped says why; where
# it does, a failing probe is a broken Wine set-up, which is a failure, not a
# skip.
set -uo pipefail
build=$(cd "$1" && pwd) || exit 2
arch=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-machine.sh"
results="$build/$arch/results"
mkdir -p "$results"

case "$arch" in
  win32) label=i686 expected="pointer size 4, wow64 1" ;;
  win64) label=x86_64 expected="pointer size 8, wow64 0" ;;
  *) echo "run-windows-suites: unknown build $arch" >&2; exit 2 ;;
esac

echo "== Windows tests, $label build ($QWP_WINE_PATH) =="
reason=""
[ "$arch" = win32 ] && reason=$(qwp_no_32bit_reason)
if [ -n "$reason" ]; then
  echo "$reason" > "$results/skipped"
  ctest --test-dir "$build/$arch" -N | sed -n 's/^ *Test *#[0-9]*: //p' > "$results/skipped-suites"
  echo "skipped: $reason"
  exit 0
fi

seen=$(qwp_wine "$build/$arch/arch_probe.exe" 2>"$results/probe.err" | tr -d '\r')
if [ "$seen" != "$expected" ]; then
  said=$(head -n 1 "$results/probe.err")
  echo "the $label probe printed \"$seen\"${said:+ (\"$said\")} instead of \"$expected\": the Wine set-up is broken" |
    tee "$results/broken"
  exit 1
fi

# A program that blocks (a window waiting for an answer, a child keeping the
# output open) fails its suite after 15 minutes instead of stalling the run.
ctest --test-dir "$build/$arch" --timeout 900 --output-on-failure --output-junit "$results/ctest.xml"
