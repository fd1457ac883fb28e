#!/usr/bin/env bash
# Takes the pictures of every window that the end-to-end and scenario tests
# walk through (QWP_SCREENS=1 asks them for pictures; make test takes none),
# into BUILD_DIR/screens/<scenario>/<build>/, then copies the README's
# pictures into docs/:
#   tools/take-screens.sh BUILD_DIR
# The pictures are of the shipped i686 setup, or of the x86_64 one where this
# machine's kernel runs no 32-bit code. After any change to a window, run it
# and look at them.
set -uo pipefail
build=$(cd "${1:-build}" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-machine.sh"
arch=$(bash "$here/wine-machine.sh" build)
status=0

rm -rf "$build/screens"
echo "== pictures of the $arch setup's windows into $build/screens =="
QWP_SCREENS=1 QWP_WINE_HOME="$build/screens-prefix" bash "$here/wine-env.sh" "$build" \
  ctest --test-dir "$build/$arch" -R '^(setup|scenarios)$' --timeout 900 --output-on-failure || status=1

# The README's pictures: the wizard's pages at 96 DPI and the /P window.
docs="$here/../docs"
copy() {  # copy PICTURE_BELOW_SCREENS DOCS_NAME
  if [ -f "$build/screens/$1" ]; then
    cp "$build/screens/$1" "$docs/$2"
  else
    echo "take-screens: $1 was not taken" >&2
    status=1
  fi
}
for page in page0-welcome page1-license page2-destination page3-components page4-ready page7-complete; do
  copy "default/$arch/96dpi/$page.png" "$page.png"
done
copy "unattended-progress/$arch/copying.png" progress-window.png
echo "$(find "$build/screens" -name '*.png' | wc -l) pictures; the README's are in docs/"
exit $status
