#!/usr/bin/env bash
# Runs every test: the payload fuzzer for a bounded time, the checks of the
# built programs, the native tests, then the Windows tests of the i686 and
# the x86_64 build under Wine, both at once, each in a Wine prefix, a display
# and drives of its own below its build folder. Prints a line per suite and
# architecture and one summary line at the end, and exits non-zero when
# anything failed.
#   tools/run-tests.sh BUILD_DIR
# QWP_FUZZ_SECONDS (default 10) bounds the fuzzing; make fuzz runs it long.
set -uo pipefail
build=$(cd "${1:-build}" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-machine.sh"
status=0
started=$SECONDS

rm -rf "$build/host/results" "$build/win32/results" "$build/win64/results"
mkdir -p "$build/host/results" "$build/win32/results" "$build/win64/results"

echo "== this machine: 32-bit code ${QWP_KERNEL_32BIT}, Wine path: $QWP_WINE_PATH =="

# The Windows suites start first and run while the host checks do: they take
# by far the longest.
windows_suites() {  # windows_suites win32|win64
  QWP_WINE_HOME="$build/$1" bash "$here/wine-env.sh" "$build" \
    bash "$here/run-windows-suites.sh" "$build" "$1" > "$build/$1/results/run.log" 2>&1
}
windows_suites win32 & i686_pid=$!
windows_suites win64 & x86_64_pid=$!

if ! bash "$here/fuzz-payload.sh" "$build" "${QWP_FUZZ_SECONDS:-10}"; then
  status=1
  echo "check FAILED: payload reader fuzzing finds nothing" > "$build/checks.log"
else
  echo "check passed: payload reader fuzzing finds nothing" > "$build/checks.log"
fi

echo "== checks of the built programs =="
bash "$here/check-binaries.sh" "$build" | tee -a "$build/checks.log"
[ "${PIPESTATUS[0]}" = 0 ] || status=1

tool_tests() {  # tool_tests SCRIPT WHAT
  echo "== tests of $2 =="
  if python3 "$here/$1" > "$build/$1.log" 2>&1; then
    echo "check passed: the tests of $2" | tee -a "$build/checks.log"
  else
    tail -n 30 "$build/$1.log"
    echo "check FAILED: the tests of $2" | tee -a "$build/checks.log"
    status=1
  fi
}
tool_tests bench-tools-test.py "the benchmark tools"
tool_tests machine-tools-test.py "the machine and summary tools"

# The release step with a throw-away certificate, and the signed setup
# installed under Wine beside the unsigned one (skipped, by its reason,
# where the i686 programs cannot run). Debian's python3, for the YAML and
# JSON-schema libraries the release uses.
echo "== tests of the release =="
if /usr/bin/python3 "$here/release-test.py" "$build" > "$build/release-test.log" 2>&1; then
  echo "check passed: the tests of the release" | tee -a "$build/checks.log"
  sed -En "s/^(test_[a-z_0-9]+) .* skipped [\"'](.*)[\"']$/check skipped: the release's \1, \2/p" \
    "$build/release-test.log" | tee -a "$build/checks.log"
else
  tail -n 40 "$build/release-test.log"
  echo "check FAILED: the tests of the release" | tee -a "$build/checks.log"
  status=1
fi

echo "== native tests =="
ctest --test-dir "$build/host" --timeout 900 --output-on-failure --output-junit "$build/host/results/ctest.xml" || status=1

wait "$i686_pid" || status=1
cat "$build/win32/results/run.log"
wait "$x86_64_pid" || status=1
cat "$build/win64/results/run.log"

echo "== $((SECONDS - started)) s =="
python3 "$here/test-summary.py" "$build/checks.log" native="$build/host/results" \
  i686="$build/win32/results" x86_64="$build/win64/results" || status=1
exit $status
