#!/usr/bin/env bash
# Runs the setup under Wine, as a user would start it: the shipped i686
# build, or the x86_64 build of the same sources where this machine's kernel
# runs no 32-bit code (tools/wine-machine.sh decides). It runs in a Wine
# prefix of its own (BUILD_DIR/run), apart from the tests' prefixes.
#   With a display (DISPLAY set): the wizard opens on it, for a person to walk.
#   Without one: nobody could answer the wizard, so the setup installs
#   unattended ("/S") into that prefix, and a summary of what it left on
#   disk and in the registry is printed.
set -uo pipefail
build=${1:-build}
shift || true
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-machine.sh"
export QWP_WINE_HOME="$build/run"

arch=win32
reason=$(qwp_no_32bit_reason)
if [ -n "$reason" ]; then
  arch=win64
  echo "== the x86_64 setup, not the shipped i686 one: $reason =="
else
  echo "== the shipped i686 setup =="
fi
setup="$build/$arch/setup.exe"

echo "== payload of the setup =="
"$build/host/list_payload" "$build/$arch/payload/payload.bin" | tail -n 8
ls -l "$setup"
if [ -n "${DISPLAY:-}" ]; then
  echo "== running $setup under Wine on display $DISPLAY =="
  QWP_USE_OWN_DISPLAY=1 bash "$here/wine-env.sh" "$build" "$setup" "$@"
  code=$?
  echo "setup.exe exited with code $code"
else
  echo "== no display: $setup installs unattended into $QWP_WINE_HOME/wineprefix =="
  bash "$here/wine-env.sh" "$build" bash "$here/install-summary.sh" "$build" "$arch"
  code=$?
fi
exit $code
