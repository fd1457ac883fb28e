#!/usr/bin/env bash
# Runs the shipped i686 setup under Wine, as a user would start it.
#   With a display (DISPLAY set): the wizard opens on it, for a person to walk.
#   Without one: nobody could answer the wizard, so it is walked from outside
#   by control id, through a default install and a second install into the
#   same folder, and what the runs left on disk and in the registry is
#   printed (the end-to-end test of the setup suite).
set -uo pipefail
build=${1:-build}
shift || true
here=$(cd "$(dirname "$0")" && pwd)

echo "== payload of the setup =="
"$build/host/list_payload" "$build/win32/payload/payload.bin" | tail -n 8
ls -l "$build/win32/setup.exe"
if [ -n "${DISPLAY:-}" ]; then
  echo "== running build/win32/setup.exe under Wine on display $DISPLAY =="
  QWP_USE_OWN_DISPLAY=1 bash "$here/wine-env.sh" "$build" "$build/win32/setup.exe" "$@"
  code=$?
  echo "setup.exe exited with code $code"
else
  echo "== no display: build/win32/setup.exe walked from outside through a default install and a reinstall =="
  bash "$here/wine-env.sh" "$build" "$build/win32/setup_tests.exe" \
    --gtest_filter='ReinstallEndToEnd.*' > "$build/run-setup.log" 2>&1
  code=$?
  grep -E '^\[ reinstall|^\[  (PASSED|FAILED)' "$build/run-setup.log"
  echo "pictures of the pages: $build/screens/; the whole output: $build/run-setup.log"
fi
exit $code
