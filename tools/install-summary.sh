#!/usr/bin/env bash
# Installs a setup unattended ("/S") into the Wine prefix that
# tools/wine-env.sh has set up, then prints what the install left, read back
# from the disk and the registry: the destination, the files and folders
# written, the registry values, the shortcuts and the logs.
#   tools/install-summary.sh BUILD_DIR win32|win64   (run inside tools/wine-env.sh)
# The shipped i686 setup writes its uninstall entry to the 32-bit registry
# view, the x86_64 one to the 64-bit view.
set -uo pipefail
build=$(cd "$1" && pwd) || exit 2
arch=${2:-win32}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-machine.sh"
setup="$build/$arch/setup.exe"
runlog="$build/run-setup.log"
view=/reg:32
[ "$arch" = win64 ] && view=/reg:64

unix_path() { qwp_winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# The data of one value, as reg.exe prints it ("    NAME    REG_SZ    data").
reg_value() {  # reg_value KEY NAME [/reg:32]
  qwp_reg query "$1" /v "$2" ${3:-} 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n || index($0, "    " n "    ") == 1 { sub(/^ *[^ ].*REG_[A-Z]+ +/, ""); print; exit }'
}
reg_values() {  # reg_values KEY [/reg:32]: every value, one per line
  qwp_reg query "$1" ${2:-} 2>/dev/null | tr -d '\r' | grep -E 'REG_(SZ|DWORD)' | sed -E 's/^ +/    /'
}
meaning() {
  case "$1" in
    0) echo "installed" ;;
    1) echo "setup failed" ;;
    2) echo "the setup program is damaged" ;;
    3) echo "the word processor is running" ;;
    4) echo "not enough free space on the destination drive" ;;
    5) echo "a file could not be written" ;;
    6) echo "another setup of the product is running" ;;
    7) echo "the destination folder cannot be used" ;;
    8) echo "an unknown switch" ;;
    9) echo "installed, but not all of it could be recorded" ;;
    *) echo "unexpected" ;;
  esac
}

echo "== unattended install: setup.exe /S /LOG=<build>/run-setup.log =="
rm -f "$runlog"
qwp_wine "$setup" /S "/LOG=$(qwp_winepath -w "$runlog" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1
code=$?
echo "exit code $code ($(meaning "$code"))"
[ "$code" = 0 ] || { [ -f "$runlog" ] && tail -n 5 "$runlog"; exit "$code"; }

install_key='HKCU\Software\Quilvane Word Processor\Install'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quilvane Word Processor'
maindir=$(reg_value "$install_key" MAINDIR)
dest=$(unix_path "$maindir")
install_log="$dest/Install.log"

echo "== destination =="
echo "$maindir"
ls -l --time-style=+'%Y-%m-%d %H:%M' "$dest" | tail -n +2 | awk '{ $1=$2=$3=$4=""; sub(/^ +/, ""); print "    " $0 }'

echo "== files and folders written (from Install.log) =="
echo "    $(grep -c '^File Copy: ' "$install_log") file copies (shortcuts included), $(grep -c '^Made Dir: ' "$install_log") folders made"
grep -v '^File Copy: .*\.lnk' "$install_log" | tr -d '\r' | sed 's/^/    /'
common=$(grep -o 'Update log: .*' "$runlog" | sed 's/^Update log: //; s/\\Update.log\r\?$//')
if [ -n "$common" ]; then
  shared=$(unix_path "$common")
  echo "    $(find "$shared" -type f | wc -l) files below the common data folder $common"
fi

echo "== registry =="
echo "  $install_key"
reg_values "$install_key"
echo "  $uninstall_key (${view#/reg:}-bit view)"
reg_values "$uninstall_key" "$view"

echo "== shortcuts =="
grep '^File Copy: .*\.lnk' "$install_log" | tr -d '\r' | sed 's/^File Copy: //' | while read -r link; do
  if [ -f "$(unix_path "$link")" ]; then echo "    $link"; else echo "    MISSING: $link"; fi
done

echo "== logs =="
echo "    $maindir\\Install.log: $(wc -l < "$install_log") lines"
[ -n "$common" ] && echo "    $common\\Update.log: $(wc -l < "$(unix_path "$common")/Update.log") lines"
echo "    run log: $runlog ($(wc -l < "$runlog") lines), last: $(tail -n 1 "$runlog" | tr -d '\r')"
exit 0
