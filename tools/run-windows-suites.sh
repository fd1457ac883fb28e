#!/usr/bin/env bash
# Runs every Windows test program of both builds inside the prefix and display
# that tools/wine-env.sh set up: the i686 build first, since it is what users
# download, then the x86_64 build of the same sources.
#   tools/run-windows-suites.sh BUILD_DIR
# When this machine cannot run 32-bit Windows programs at all, the i686
# suites are not run and BUILD_DIR/win32/results/skipped says why. A machine
# that has the 32-bit half of Wine installed and still fails the probe has a
# broken set-up, which is a failure, not a skip.
set -uo pipefail
build=$(cd "$1" && pwd) || exit 2
status=0

i686_runs() {
  local out
  out=$(wine "$build/win32/arch_probe.exe" 2>/dev/null | tr -d '\r')
  [[ "$out" == "pointer size 4, wow64 1" ]]
}

# A program that blocks (a window waiting for an answer, a child keeping the
# output open) fails its suite after 15 minutes instead of stalling the run.
run_suites() {  # run_suites win32|win64
  ctest --test-dir "$build/$1" --timeout 900 --output-on-failure --output-junit "$build/$1/results/ctest.xml" || status=1
}

echo "== Windows tests, i686 build =="
if i686_runs; then
  run_suites win32
elif dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  echo "the i686 probe failed although wine32 is installed: the Wine set-up is broken"
  echo "the i686 probe failed although wine32 is installed" > "$build/win32/results/broken"
  status=1
else
  echo "this machine cannot run 32-bit Windows programs (no wine32)" > "$build/win32/results/skipped"
  cat "$build/win32/results/skipped"
fi

echo "== Windows tests, x86_64 build =="
run_suites win64
exit $status
