# What this machine can run under Wine, and how to start it. Sourced by every
# script that starts Wine; defines nothing when sourced twice.
#
#   qwp_kernel_runs_32bit     true when the kernel executes i386 programs
#   qwp_wine ARGS...          starts a Windows program (a 64-bit one always;
#                             a 32-bit one where the kernel runs them);
#   QWP_WINE                  the command it runs
#   qwp_wineboot, qwp_winepath, qwp_reg, qwp_cmd, qwp_wineserver
#                             the prefix's own tools
#   QWP_WINE_PATH             "both" (the launcher picks the loader) or
#                             "64-bit only" (Wine's 64-bit loader throughout)
#
# Some kernels of this kind run no 32-bit code at all: any i386 ELF program,
# Wine's 32-bit loader included, fails with "Exec format error". Debian's
# launcher and the wrappers going through it (wineboot, winepath, wine reg,
# wine cmd) pick that loader whenever the 32-bit half of Wine is installed,
# even for a 64-bit program, so there everything goes through the 64-bit
# loader instead. QWP_WINE64_ONLY=1 takes that path on any machine.

[ -n "${QWP_WINE_MACHINE_SOURCED:-}" ] && return 0
QWP_WINE_MACHINE_SOURCED=1

QWP_WINE64_LOADER=/usr/lib/wine/wine64

# Runs a minimal static i386 ELF program (exit(0) through int 0x80) and
# prints "yes", "no" (the kernel refused it: Exec format error) or
# "unknown: <what happened>". It needs nothing of Wine's, so a broken Wine
# cannot be mistaken for a kernel without 32-bit code.
qwp_probe_kernel_32bit() {
  local dir probe out status
  dir=$(mktemp -d) || { echo "unknown: no temporary folder"; return; }
  probe="$dir/i386-exit0"
  # ELF header (52 bytes), one loadable segment (32 bytes), then
  # mov eax,1; xor ebx,ebx; int 0x80 at 0x08048054.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' > "$probe"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >> "$probe"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >> "$probe"
  printf '\x00\x00\x00\x00' >> "$probe"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >> "$probe"
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >> "$probe"
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >> "$probe"
  chmod +x "$probe"
  out=$("$probe" 2>&1)
  status=$?
  rm -rf "$dir"
  if [ "$status" = 0 ]; then
    echo yes
  elif [[ "$out" == *"Exec format error"* ]]; then
    echo no
  else
    echo "unknown: exit $status${out:+, $out}"
  fi
}

# Asked once per run: child scripts inherit the answer.
if [ -z "${QWP_KERNEL_32BIT:-}" ]; then
  QWP_KERNEL_32BIT=$(qwp_probe_kernel_32bit)
  export QWP_KERNEL_32BIT
fi

qwp_kernel_runs_32bit() { [ "$QWP_KERNEL_32BIT" != no ]; }

# The reason the i686 programs cannot run here, empty when they can.
qwp_no_32bit_reason() {
  if [ "$QWP_KERNEL_32BIT" = no ]; then
    echo "this machine's kernel runs no 32-bit code"
  elif [ "${QWP_WINE64_ONLY:-0}" = 1 ]; then
    echo "QWP_WINE64_ONLY=1: Wine's 64-bit loader only"
  fi
}

if [ -n "$(qwp_no_32bit_reason)" ]; then
  QWP_WINE_PATH="64-bit only"
  # Processes Wine starts itself (wineboot's helpers, a program's children)
  # go through the same loader.
  export WINELOADER="$QWP_WINE64_LOADER"
  QWP_WINE=$QWP_WINE64_LOADER
else
  QWP_WINE_PATH="both"
  QWP_WINE=wine
fi
export QWP_WINE_PATH

qwp_wine() { "$QWP_WINE" "$@"; }

qwp_wineboot() { qwp_wine wineboot "$@"; }
qwp_winepath() { qwp_wine winepath "$@"; }
qwp_reg() { qwp_wine reg "$@"; }
qwp_cmd() { qwp_wine cmd "$@"; }
qwp_wineserver() { wineserver "$@"; }

# Run as a program, it answers one question for the Makefile:
#   bash tools/wine-machine.sh build   the Windows build whose programs this
#                                      machine runs for make run and make
#                                      bench: win32 where it can, else win64
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    build) if [ -n "$(qwp_no_32bit_reason)" ]; then echo win64; else echo win32; fi ;;
    *) echo "usage: bash tools/wine-machine.sh build" >&2; exit 2 ;;
  esac
fi
