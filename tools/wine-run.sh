#!/usr/bin/env bash
# The test runner's emulator: starts one Windows test program with wine in
# the prefix and display that tools/wine-env.sh set up.
exec wine "$@"
