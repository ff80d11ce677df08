#!/bin/sh
# Signs a built package in place: setup.exe and every language library,
# Authenticode SHA-256, with the certificate and key of a PFX file. Run it
# once for each architecture's package, on a copy: the build keeps its own
# package unsigned.
#   SIGN_PASSWORD=... tools/sign.sh PACKAGE-FOLDER PFX-FILE
# The PFX password comes from SIGN_PASSWORD alone, never from a command
# line, where every user of the machine could read it. The signature
# carries the product's name (AppName in the package's setup.ini). When
# SIGN_TIMESTAMP_URL names an RFC 3161 time-stamp server, the signatures are
# time-stamped there, so that they stay valid after the certificate expires.
set -eu
if [ $# -ne 2 ] || [ -z "${SIGN_PASSWORD+set}" ]; then
  echo "usage: SIGN_PASSWORD=... $0 PACKAGE-FOLDER PFX-FILE" >&2
  exit 2
fi
pkg=$(cd "$1" && pwd -P)
pfx=$2
top=$(cd "$(dirname "$0")/.." && pwd -P)
case "$pkg" in
"$top"/build/*/*/*) ;;
"$top"/build/*/package)
  echo "$0: $pkg is the build's own package, which stays unsigned; sign a copy of it" >&2
  exit 2
  ;;
esac
name=$(sed -n 's/^AppName=//p' "$pkg/setup.ini" 2>/dev/null | tr -d '\r' | head -n 1)
if [ -z "$name" ] || [ ! -f "$pkg/setup.exe" ] || [ ! -r "$pfx" ]; then
  echo "$0: $pkg needs setup.exe and a setup.ini naming the product (AppName), and $pfx must be readable" >&2
  exit 2
fi
set --
[ -n "${SIGN_TIMESTAMP_URL:-}" ] && set -- -ts "$SIGN_TIMESTAMP_URL"
for f in "$pkg"/setup.exe "$pkg"/setup*.dll; do
  [ -f "$f" ] || continue
  # Into a new file first: a signing that fails leaves the file as it was.
  rm -f "$f.signing"
  if ! said=$(printf '%s' "$SIGN_PASSWORD" | osslsigncode sign -pkcs12 "$pfx" -readpass /dev/stdin -h sha256 -n "$name" "$@" \
    -in "$f" -out "$f.signing" 2>&1); then
    rm -f "$f.signing"
    printf '%s\n%s\n' "$said" "$0: could not sign $f" >&2
    exit 1
  fi
  chmod --reference="$f" "$f.signing"
  mv -f "$f.signing" "$f"
  echo "signed: $f"
done
