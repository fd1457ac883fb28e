#!/usr/bin/env bash
# Runs the setup under Wine, as a user would start it, and reports how it
# ended and what its payload holds.
set -uo pipefail
build=${1:-build}
shift || true
here=$(cd "$(dirname "$0")" && pwd)

echo "== payload of the setup =="
"$build/host/list_payload" "$build/win32/payload/payload.bin" | tail -n 8
echo "== running build/win32/setup.exe under Wine =="
QWP_USE_OWN_DISPLAY=1 bash "$here/wine-env.sh" "$build" "$build/win32/setup.exe" "$@"
code=$?
echo "setup.exe exited with code $code"
ls -l "$build/win32/setup.exe" "$build/win64/setup.exe" 2>/dev/null
exit $code
