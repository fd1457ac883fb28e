#!/usr/bin/env bash
# Checks of the built programs that need no Windows: what kind of executable
# each setup is, which DLLs it imports, the shipped program's size without
# its payload, and that packing the same inputs, or building the setup, again
# gives the same bytes.
# Prints one line per check and exits non-zero when any fails.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
failed=0

check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then echo "check passed: $name"; else echo "check FAILED: $name"; failed=1; fi
}

pe_kind() {  # pe_kind OBJDUMP EXE FORMAT
  local dump
  dump=$("$1" -p "$2" 2>/dev/null) || return 1
  grep -q "file format $3" <<<"$dump" && grep -q "Subsystem.*(Windows GUI)" <<<"$dump"
}

# Only DLLs Windows never looks for beside a program (the known DLLs). The
# common controls are loaded at run time: as a static import they would be
# resolved, with their own imports, before the program can restrict the
# DLL search.
only_system_imports() {  # only_system_imports OBJDUMP EXE
  local allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll shlwapi.dll msvcrt.dll comdlg32.dll "
  local dll ok=0
  for dll in $("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case "$allowed" in *" $dll "*) ;; *) echo "  unexpected import: $dll"; ok=1 ;; esac
  done
  return $ok
}

# The whole program with the wizard window, its pickers, the libpng reader of
# its logo, the unattended mode, the install session, the folder rules, the
# packagers' switches and libdeflate's inflater fits in 350 KB once the
# runtime library brings only what it uses (and no threads library). On top
# of that come what keeps hostile input and neighbours out: the command line
# read from UTF-16 without best fit, folders walked character by character in
# double-byte code pages and checked against the path limits, the lock in a
# private namespace, the end of the Windows session answered, a stored folder
# on a dead share asked on a worker, results of the post-install writes told
# (some 19 KB in all, less the benchmark's recorder, which left). Then what
# keeps the word processor from being started as something else or with the
# setup's rights: its program file checked and held, the launch through the
# desktop's shell automation, the destination's permissions set and judged
# (some 12 KB). The budget of 375 KB guards against growth nobody meant.
small_enough() {
  local exe payload
  exe=$(stat -c %s "$build/win32/setup.exe" 2>/dev/null) || return 1
  payload=$(stat -c %s "$build/win32/payload/payload.bin" 2>/dev/null) || return 1
  echo "  build/win32/setup.exe: $exe bytes, $((exe - payload)) without its $payload-byte payload"
  [ $((exe - payload)) -lt $((375 * 1024)) ]
}

# The whole payload lives in memory: on 64-bit Windows a 32-bit program that
# says it copes with addresses above 2 GB gets 4 GB to hold it in.
large_address_aware() {  # large_address_aware OBJDUMP EXE
  local dump
  dump=$("$1" -p "$2" 2>/dev/null) || return 1
  grep -qi "large address aware" <<<"$dump"
}

starts_with_78da() {
  [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = "78da" ]
}

packs_reproducibly() {
  local again
  again=$(mktemp)
  "$build/host/pack_payload" --manifest "$here/sample/manifest.tsv" --root "$here/sample/files" \
    --qwp "$build/win32/qwp.exe" --out "$again" >/dev/null && cmp -s "$again" "$build/win32/payload/payload.bin"
  local rc=$?
  rm -f "$again"
  return $rc
}

# The benchmark's phase recorder, which writes its timings to a file that an
# environment variable names, is linked only into the benchmark's own build
# of the setup: a user's environment must not steer the elevated setup into
# replacing a file. The timed build shows the search finds the name where it
# is.
no_benchmark_hook() {  # no_benchmark_hook BUILD_SUBFOLDER
  local arch=$1
  grep -q QWP_BENCH_TIMINGS "$build/$arch/setup_timed.exe" || { echo "  the timed setup has no hook?"; return 1; }
  ! grep -q QWP_BENCH_TIMINGS "$build/$arch/setup.exe"
}

# Two builds of the shipped setup from the same sources give the same bytes:
# nothing in it tells when or where it was built (the linker writes no time
# stamp, the resource compiler none either), so a published setup can be
# built again and compared with what was signed. The second build, in
# BUILD/repro/win32, is configured from the first one's settings; its link
# and its resources are made anew every time, its objects whenever their
# sources change.
builds_reproducibly() {
  local cache="$build/win32/CMakeCache.txt" repro="$build/repro/win32" name value settings=()
  for name in CMAKE_TOOLCHAIN_FILE CMAKE_BUILD_TYPE QWP_PACKER QWP_LIBPNG_PREFIX QWP_LIBDEFLATE_DIR QWP_PRODUCT_DIR; do
    value=$(sed -n "s/^$name:[A-Z]*=//p" "$cache" 2>/dev/null)
    [ -n "$value" ] && settings+=("-D$name=$value")
  done
  [ ${#settings[@]} -gt 0 ] || { echo "  no settings in $cache"; return 1; }
  rm -f "$repro/setup.exe"
  find "$repro" -name '*.rc.obj' -delete 2>/dev/null
  if ! { cmake -S "$here" -B "$repro" "${settings[@]}" -DQWP_TESTS=OFF &&
         cmake --build "$repro" --target setup -j"$(nproc)"; } > "$build/repro.log" 2>&1; then
    echo "  the second build failed: $build/repro.log"
    return 1
  fi
  cmp "$build/win32/setup.exe" "$repro/setup.exe"
}

holds_272_entries() {
  "$build/host/list_payload" "$build/win32/payload/payload.bin" | tail -n 1 | grep -q '^272 entries'
}

check "win32 setup is a PE32 i386 GUI program" pe_kind i686-w64-mingw32-objdump "$build/win32/setup.exe" pei-i386
check "win64 setup is a PE32+ x86-64 GUI program" pe_kind x86_64-w64-mingw32-objdump "$build/win64/setup.exe" pei-x86-64
check "win32 setup imports only system DLLs" only_system_imports i686-w64-mingw32-objdump "$build/win32/setup.exe"
check "win64 setup imports only system DLLs" only_system_imports x86_64-w64-mingw32-objdump "$build/win64/setup.exe"
check "win32 setup holds no benchmark hook" no_benchmark_hook win32
check "win64 setup holds no benchmark hook" no_benchmark_hook win64
check "win32 setup is large address aware" large_address_aware i686-w64-mingw32-objdump "$build/win32/setup.exe"
check "win32 setup under 375 KB without its payload" small_enough
check "payload is one zlib stream at maximum compression" starts_with_78da "$build/win32/payload/payload.bin"
check "the same inputs pack to the same payload" packs_reproducibly
check "two builds of the win32 setup are the same bytes" builds_reproducibly
check "payload holds 272 entries" holds_272_entries
check "logo and picker bitmaps have the expected form" python3 "$here/tools/check-art.py" "$here/resources"
exit $failed
