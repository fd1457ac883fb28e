#!/usr/bin/env bash
# The test runner's emulator: starts one Windows test program with Wine in
# the prefix and display that tools/wine-env.sh set up, through the loader
# tools/wine-machine.sh chose for this machine.
. "$(dirname "$0")/wine-machine.sh"
exec "$QWP_WINE" "$@"
