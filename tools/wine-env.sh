#!/usr/bin/env bash
# Runs a command inside one of the project's own Wine prefixes with a private
# X display:  tools/wine-env.sh BUILD_DIR command [args...]
# A command ending in .exe is started with Wine. The prefix and the folders
# behind its test drives live in QWP_WINE_HOME (BUILD_DIR when unset), so
# runs with different homes share nothing: not the Wine server (and so not
# the setup's machine-wide mutex), the registry, the common data folder, the
# drives or the display. The prefix gets three extra drives for the tests:
#   E:  a removable drive (Wine reports DRIVE_REMOVABLE for it)
#   F:  a small RAM disk that fills up, when this machine lets us mount one
#   N:  a folder Wine reports as a network drive
# Where the kernel runs 32-bit code the prefix holds both halves of Wine
# (64-bit and WoW64), so the i686 and the x86_64 programs run side by side;
# tools/wine-machine.sh decides that and which loader starts what.
# QWP_DPI (default 96) sets the display's dots per inch.
# Its Wine server and the display are stopped at the end; nothing else is
# touched.
set -uo pipefail

build=$(cd "$1" && pwd) || exit 2
shift
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/wine-machine.sh
. "$here/wine-machine.sh"
home=${QWP_WINE_HOME:-$build}
mkdir -p "$home"
home=$(cd "$home" && pwd)
export WINEPREFIX="$home/wineprefix"
export WINEDEBUG=-all
# No prompts to install Mono or Gecko into the prefix. No debugger for a
# program that crashes: winedbg would inherit the test runner's output pipe
# and keep it open, so the run would wait for it until the runner's own
# time-out; without it a crash simply ends the program and its test fails.
# Nor Wine's menu builder, which would turn every shortcut a test makes into
# menu and desktop entries of the machine's own user.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
drives="$home/drives"

xvfb_pid=""
small_mounted=0
cleanup() {
  qwp_wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  [ "$small_mounted" = 1 ] && umount "$drives/small" >/dev/null 2>&1
  return 0
}
trap cleanup EXIT

start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      # Ours only while our server lives: another run may have taken the
      # same number a moment earlier, and then ours has ended.
      kill -0 "$xvfb_pid" 2>/dev/null || break
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      sleep 0.1
    done
    kill "$xvfb_pid" >/dev/null 2>&1
    xvfb_pid=""
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

# Wine's own settings live in the 64-bit registry view; the 32-bit reg.exe
# would write them below Wow6432Node, where Wine never reads them.
wine_setting() {
  qwp_reg add "$@" /f /reg:64 >/dev/null 2>&1
}

# The dialog font ("MS Shell Dlg 2" is Tahoma) and Arial with the metrics of
# Windows, so texts take the room they take there, and the title bar buttons'
# glyphs (Marlett): Wine's own fonts copied into the prefix (Wine does not
# look for them where Debian puts them), and the metric-compatible
# Liberation Sans standing in for Arial.
install_fonts() {
  local font fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && cp -u "/usr/share/wine/fonts/$font" "$fonts/"
  done
  wine_setting 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans"
}

# Wine makes the user's Desktop, Documents and the like links to the Unix home
# folder, which every prefix on the machine then shares: tests writing
# shortcuts there would see each other's files. Real folders inside the
# prefix keep each run to itself.
keep_user_folders_inside() {
  local folder
  for folder in "$WINEPREFIX/drive_c/users/$(id -un)"/*; do
    if [ -L "$folder" ]; then
      rm -f "$folder"
      mkdir -p "$folder"
    fi
  done
}

prepare_prefix() {
  # A prefix made before the 32-bit half of Wine was installed cannot run
  # i686 programs: make it anew, where this machine runs them at all.
  if [ "$QWP_WINE_PATH" = both ] && [ -f "$WINEPREFIX/system.reg" ] &&
     [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    qwp_wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    qwp_wineboot -i >/dev/null 2>&1
    qwp_wineserver -w
  fi
  if [ ! -d "$WINEPREFIX/dosdevices" ]; then
    echo "wine-env: Wine could not make the prefix $WINEPREFIX ($QWP_WINE_PATH)" >&2
    return 1
  fi
  mkdir -p "$drives/removable" "$drives/small" "$drives/network"
  ln -sfn "$drives/removable" "$WINEPREFIX/dosdevices/e:"
  ln -sfn "$drives/network" "$WINEPREFIX/dosdevices/n:"
  if ! mountpoint -q "$drives/small" && mount -t tmpfs -o size=1m tmpfs "$drives/small" 2>/dev/null; then
    small_mounted=1
  fi
  if mountpoint -q "$drives/small"; then
    ln -sfn "$drives/small" "$WINEPREFIX/dosdevices/f:"
    export QWP_SMALL_DRIVE="F:"
  else
    rm -f "$WINEPREFIX/dosdevices/f:"
    export QWP_SMALL_DRIVE=""
  fi
  install_fonts
  keep_user_folders_inside
  wine_setting 'HKLM\Software\Wine\Drives' /v e: /d floppy
  wine_setting 'HKLM\Software\Wine\Drives' /v n: /d network
  # Every window inside one Wine-drawn desktop: windows get their frames and
  # title bars as on Windows, and closing a window does not wait for a window
  # manager that is not there.
  wine_setting 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
  wine_setting 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
  wine_setting 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${QWP_DPI:-96}"
  qwp_wineserver -k >/dev/null 2>&1
  qwp_wineserver -w
  export QWP_REMOVABLE_DRIVE="E:"
  export QWP_NETWORK_DRIVE="N:"
}

# make run shows the setup on the user's own display when there is one.
if [ "${QWP_USE_OWN_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  start_display || exit 1
fi
prepare_prefix || exit 1

if [[ "$1" == *.exe ]]; then
  qwp_wine "$@"
else
  "$@"
fi
