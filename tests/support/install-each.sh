#!/usr/bin/env bash
# Installs each of several setup programs unattended, every one from the same
# starting state of the Wine prefix, and keeps what each left behind, so that
# two setups can be compared by what they install. Run inside the prefix and
# display of tools/wine-env.sh:
#   tools/wine-env.sh BUILD tests/support/install-each.sh OUT_DIR NAME=SETUP.EXE...
# Each setup is copied to C:\dist\setup.exe (the same path for all, so paths
# the setup records of itself are the same) and started with
# /S /LOG=C:\dist\setup.log. OUT_DIR/NAME/ then holds:
#   exit       the setup's exit code
#   files      "<type> ./<path>" for everything but folders below drive_c
#              (f a file, l a symbolic link), sorted, the setup's own copy
#              left out
#   changed/   a copy of every file below drive_c made or changed while the
#              setup ran, at its path below drive_c (the others are as they
#              were before, the same for every setup)
#   *.reg      the prefix's registry files, written once Wine has ended
# The prefix is put back to its starting state before each setup and at
# the end.
set -uo pipefail
out=$1
shift
: "${WINEPREFIX:?run inside tools/wine-env.sh}"
here=$(cd "$(dirname "$0")/../../tools" && pwd)
# shellcheck source=tools/wine-machine.sh
. "$here/wine-machine.sh"

base="$WINEPREFIX.start"
qwp_wineserver -k >/dev/null 2>&1
qwp_wineserver -w
# A run that was ended half-way left its starting state here.
if [ -d "$base" ]; then
  rm -rf "$WINEPREFIX"
  mv "$base" "$WINEPREFIX"
fi
cp -a "$WINEPREFIX" "$base" || exit 1

stop_wine() {
  qwp_wineserver -k >/dev/null 2>&1
  qwp_wineserver -w
}

status=0
first=1
for item in "$@"; do
  name=${item%%=*}
  setup=${item#*=}
  dir="$out/$name"
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ "$first" = 0 ]; then
    stop_wine
    rm -rf "$WINEPREFIX"
    cp -a "$base" "$WINEPREFIX" || { status=1; break; }
  fi
  first=0
  mkdir -p "$WINEPREFIX/drive_c/dist"
  cp "$setup" "$WINEPREFIX/drive_c/dist/setup.exe" || { status=1; break; }
  touch "$dir/started"
  qwp_wine 'C:\dist\setup.exe' /S '/LOG=C:\dist\setup.log' >"$dir/output" 2>&1
  echo $? > "$dir/exit"
  # Wine writes its registry files when its server ends, after every
  # program the setup started has ended too.
  qwp_wineserver -w
  (cd "$WINEPREFIX/drive_c" && find . ! -type d ! -path ./dist/setup.exe -printf '%y %p\n' | sort) > "$dir/files"
  # The installed files carry the payload's times, so what changed is told
  # by the inode's change time, which setting a file's times renews.
  mkdir -p "$dir/changed"
  (cd "$WINEPREFIX/drive_c" && find . -type f -cnewer "$dir/started" ! -path ./dist/setup.exe -print0 |
     xargs -0 -r cp --parents -p -t "$dir/changed")
  cp "$WINEPREFIX"/*.reg "$dir/"
done
stop_wine
rm -rf "$WINEPREFIX"
mv "$base" "$WINEPREFIX"
exit $status
