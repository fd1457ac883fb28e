#!/usr/bin/env bash
# Runs every test: the payload fuzzer for a bounded time, the native tests,
# then the Windows tests of the i686 and the x86_64 build under Wine. Prints a
# line per suite and architecture and one summary line at the end, and exits
# non-zero when anything failed.
set -uo pipefail
build=$(cd "${1:-build}" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
status=0

rm -rf "$build/host/results" "$build/win32/results" "$build/win64/results"
mkdir -p "$build/host/results" "$build/win32/results" "$build/win64/results" "$build/fuzz"

echo "== payload reader fuzzing (${QWP_FUZZ_SECONDS:-60} s) =="
fuzz_result=pass
# New inputs go to a corpus in the build folder; the committed seeds are read only.
mkdir -p "$build/fuzz/corpus"
if ! (cd "$build/fuzz" && "$build/host/payload_fuzz" -max_total_time="${QWP_FUZZ_SECONDS:-60}" \
      -rss_limit_mb=2048 corpus "$here/../tests/fuzz/seeds" > fuzz.log 2>&1); then
  fuzz_result=fail
  status=1
  tail -n 40 "$build/fuzz/fuzz.log"
fi
grep -E '^#[0-9]+.*(DONE|pulse)' "$build/fuzz/fuzz.log" | tail -n 1
echo "fuzzing: $fuzz_result"
echo "check $( [ "$fuzz_result" = pass ] && echo passed || echo FAILED ): payload reader fuzzing finds nothing" > "$build/checks.log"

echo "== checks of the built programs =="
bash "$here/check-binaries.sh" "$build" | tee -a "$build/checks.log"
[ "${PIPESTATUS[0]}" = 0 ] || status=1

echo "== tests of the benchmark tools =="
if python3 "$here/bench-tools-test.py" > "$build/bench-tools-test.log" 2>&1; then
  echo "check passed: the benchmark tools' tests" | tee -a "$build/checks.log"
else
  tail -n 30 "$build/bench-tools-test.log"
  echo "check FAILED: the benchmark tools' tests" | tee -a "$build/checks.log"
  status=1
fi

echo "== native tests =="
ctest --test-dir "$build/host" --timeout 900 --output-on-failure --output-junit "$build/host/results/ctest.xml" || status=1

bash "$here/wine-env.sh" "$build" bash "$here/run-windows-suites.sh" "$build" || status=1

python3 "$here/test-summary.py" "$build/checks.log" native="$build/host/results" \
  i686="$build/win32/results" x86_64="$build/win64/results" || status=1
exit $status
