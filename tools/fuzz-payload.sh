#!/usr/bin/env bash
# Fuzzes the payload reader for a bounded time:
#   tools/fuzz-payload.sh BUILD_DIR SECONDS
# New inputs go to a corpus in the build folder; the committed seeds are read
# only. Exits non-zero when the fuzzer found a fault.
set -uo pipefail
build=$(cd "$1" && pwd) || exit 2
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
echo "== payload reader fuzzing ($seconds s) =="
mkdir -p "$build/fuzz/corpus"
if ! (cd "$build/fuzz" && "$build/host/payload_fuzz" -max_total_time="$seconds" \
      -rss_limit_mb=2048 corpus "$here/../tests/fuzz/seeds" > fuzz.log 2>&1); then
  tail -n 40 "$build/fuzz/fuzz.log"
  echo "fuzzing: fail"
  exit 1
fi
grep -E '^#[0-9]+.*(DONE|pulse)' "$build/fuzz/fuzz.log" | tail -n 1
echo "fuzzing: pass"
