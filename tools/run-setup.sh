#!/usr/bin/env bash
# Runs the shipped i686 setup under Wine, as a user would start it.
#   With a display (DISPLAY set): the wizard opens on it, for a person to walk.
#   Without one: nobody could answer the wizard, so the setup installs
#   unattended ("/S") into the project's Wine prefix, and a summary of what
#   it left on disk and in the registry is printed.
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
  echo "== no display: build/win32/setup.exe installs unattended into $build/wineprefix =="
  bash "$here/wine-env.sh" "$build" bash "$here/install-summary.sh" "$build"
  code=$?
fi
exit $code
