#!/usr/bin/env bash
# Signs the built i686 setup and writes its package manager manifests:
#   tools/release.sh [--check] BUILD_DIR
# What to sign with comes from the environment (make release passes its
# variables):
#   CERT, KEY            the code-signing certificate (PEM, with any
#                        intermediate certificates after it) and its key, or
#   PFX, PFX_PASS_FILE   a PKCS#12 file and a file holding its password
#                        (no PFX_PASS_FILE for a file without one)
#   URL                  the address the signed setup.exe is published at
#   TIMESTAMP            an RFC 3161 time-stamping server (optional)
#   CA                   certificates to verify the signature against
#                        (default: the system's)
# BUILD_DIR/win32/setup.exe is signed with SHA-256 and the product's name
# into a new file, which is verified and only then renamed to
# BUILD_DIR/release/setup.exe; the manifests go to BUILD_DIR/release/manifests/
# with that file's SHA-256, which is printed last. Whatever an earlier
# release left there is removed first, so a failed release leaves no setup
# that could be taken for this one. Without a certificate nothing is signed
# or written: an unsigned setup is never a release. --check only checks the
# arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
product="Quilvane Word Processor"

fail() { echo "release: $*" >&2; exit 2; }

check_arguments() {
  local cert=${CERT:-} key=${KEY:-} pfx=${PFX:-} pass=${PFX_PASS_FILE:-} url=${URL:-} name
  if [ -z "$cert$key$pfx" ]; then
    fail "no certificate: give CERT=cert.pem KEY=key.pem, or PFX=file.p12 (with PFX_PASS_FILE=file when it has a password); an unsigned setup is not released"
  fi
  if [ -n "$pfx" ] && [ -n "$cert$key" ]; then
    fail "give CERT and KEY, or PFX, not both"
  fi
  if [ -z "$pfx" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
    fail "CERT and KEY go together: give both, the certificate and its private key"
  fi
  if [ -n "$pass" ] && [ -z "$pfx" ]; then
    fail "PFX_PASS_FILE is the password of a PFX file, and no PFX is given"
  fi
  for name in CERT KEY PFX PFX_PASS_FILE CA; do
    if [ -n "${!name:-}" ] && [ ! -f "${!name}" ]; then
      fail "$name: no such file: ${!name}"
    fi
  done
  if [ -z "$url" ]; then
    fail "no URL: give the address the signed setup.exe will be published at, URL=https://.../setup.exe"
  fi
  if ! [[ "$url" =~ ^[Hh][Tt][Tt][Pp][Ss]?://.+ ]]; then
    fail "URL must be an http or https address: $url"
  fi
  if [ -n "${TIMESTAMP:-}" ] && ! [[ "$TIMESTAMP" =~ ^[Hh][Tt][Tt][Pp][Ss]?://.+ ]]; then
    fail "TIMESTAMP must be the http or https address of an RFC 3161 server: $TIMESTAMP"
  fi
  command -v osslsigncode >/dev/null || fail "osslsigncode is missing (tools/bootstrap.sh installs it)"
}

if [ "${1:-}" = --check ]; then
  check_arguments
  exit 0
fi
[ $# = 1 ] || { echo "usage: tools/release.sh [--check] BUILD_DIR" >&2; exit 2; }
check_arguments
build=$(cd "$1" && pwd) || exit 2
setup="$build/win32/setup.exe"
[ -f "$setup" ] || fail "no $setup: build it first (make win32)"

out="$build/release"
mkdir -p "$out"
rm -rf "$out/setup.exe" "$out/manifests" "$out"/.new.*
work=$(mktemp -d "$out/.new.XXXXXX")
trap 'rm -rf "$work"' EXIT

signing=(-h sha256 -n "$product")
if [ -n "${PFX:-}" ]; then
  signing+=(-pkcs12 "$PFX")
  [ -n "${PFX_PASS_FILE:-}" ] && signing+=(-readpass "$PFX_PASS_FILE")
else
  signing+=(-certs "$CERT" -key "$KEY")
fi
[ -n "${TIMESTAMP:-}" ] && signing+=(-ts "$TIMESTAMP")
if ! osslsigncode sign "${signing[@]}" -in "$setup" -out "$work/setup.exe" > "$work/sign.log" 2>&1; then
  cat "$work/sign.log" >&2
  fail "osslsigncode could not sign $setup"
fi

verifying=()
[ -n "${CA:-}" ] && verifying+=(-CAfile "$CA" -TSA-CAfile "$CA")
if ! osslsigncode verify "${verifying[@]}" -in "$work/setup.exe" > "$work/verify.log" 2>&1; then
  cat "$work/verify.log" >&2
  fail "the signed setup does not verify${CA:+ against $CA}"
fi
signer=$(sed -n 's/^[[:space:]]*Subject: //p' "$work/verify.log" | head -n 1)

sha256=$(sha256sum "$work/setup.exe" | cut -d ' ' -f 1 | tr 'a-f' 'A-F')
# Debian's interpreter, for Debian's YAML and JSON-schema libraries: another
# python3 earlier on the PATH may have neither.
/usr/bin/python3 "$here/winget-manifests.py" write --out "$work/manifests" --url "$URL" --sha256 "$sha256" ||
  fail "the manifests could not be written"

chmod 0755 "$work/setup.exe"
mv "$work/setup.exe" "$out/setup.exe"
mv "$work/manifests" "$out/manifests"
echo "release: $out/setup.exe, signed by ${signer:-?}${TIMESTAMP:+, time-stamped by $TIMESTAMP}, verified"
for file in "$out"/manifests/*.yaml; do echo "release: $file"; done
echo "SHA-256: $sha256"
