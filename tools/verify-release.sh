#!/bin/sh
# Checks a signed package (any folder) against the commit checked out in
# this repository: setup.exe and every library beside it must carry a valid
# signature ("signature"), by a certificate that chains to one in CA-FILE
# ("chain"), and with the signature removed be the very bytes this commit
# builds to ("bytes"), as every other file of the package must be; a file
# the build makes must not be "missing". Names every file that fails and
# why; exit status 0 only when every file passes.
#   tools/verify-release.sh PACKAGE-FOLDER CA-FILE
# The bytes come from this tree's build, brought up to date, when the
# sources in the tree are the commit's; else from a fresh build of the
# commit in a temporary folder. VERIFY_BUILDS=FOLDER takes them from the
# builds in FOLDER/<arch> as they stand instead (the tests of a changed tree).
set -eu
if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -r "$2" ]; then
  echo "usage: $0 PACKAGE-FOLDER CA-FILE" >&2
  exit 2
fi
pkg=$1
ca=$2
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
commit=$(git -C "$top" rev-parse HEAD)
work=$(mktemp -d /tmp/verify-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The architecture, from setup.exe's PE header.
lfanew=$(od -An -tu4 -j60 -N4 "$pkg/setup.exe" 2>/dev/null | tr -d ' ')
case $(od -An -tx2 -j$((${lfanew:-0} + 4)) -N2 "$pkg/setup.exe" 2>/dev/null | tr -d ' ') in
8664) arch=x86_64 ;;
014c) arch=i686 ;;
*)
  echo "failed: setup.exe: missing, or no Windows program for x86_64 or i686"
  exit 1
  ;;
esac

# What goes into the package is all but the tests, documents and scripts.
made="commit $commit's build"
if [ -n "${VERIFY_BUILDS:-}" ]; then
  built=$VERIFY_BUILDS/$arch
  made="the build in $built"
elif [ -f "$top/build/$arch/build.ninja" ] &&
  [ -z "$(cd "$top" && git status --porcelain -- . ':!tests' ':!docs' ':!tools' ':!.ci' ':!*.md')" ]; then
  built=$top/build/$arch
  cmake --build "$built" --target package_folder >"$work/build.log" 2>&1 || { cat "$work/build.log" && exit 1; }
else
  echo "Building commit $commit for $arch in a temporary folder..."
  git -C "$top" archive --prefix=src/ HEAD | tar -x -C "$work"
  built=$work/src/build/$arch
  { cmake -S "$work/src" -B "$built" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF && cmake --build "$built" --target package_folder; } \
    >"$work/build.log" 2>&1 || { cat "$work/build.log" && exit 1; }
fi

# Every file of both folders. Those signed, setup.exe and the libraries
# beside it, are checked for signature, chain and bytes; the rest (setup.ini,
# the Application folder) for bytes.
(cd "$pkg" && find . -type f) >"$work/names"
(cd "$built/package" && find . -type f) >>"$work/names"
sed 's|^\./||' "$work/names" | LC_ALL=C sort -u >"$work/files"
# Revocation is a matter of the chain: the signature alone is judged
# without fetching CRLs, where osslsigncode can (2.9 and later).
nocrl=$(osslsigncode -h 2>&1 | grep -q -e -ignore-cdp && echo -ignore-cdp) || true
failed=0
total=0
signed=0
while IFS= read -r name; do
  f=$pkg/$name
  bare=$f
  why=""
  total=$((total + 1))
  case "$name" in
  */*) ;;
  *.[eE][xX][eE] | *.[dD][lL][lL])
    signed=$((signed + 1))
    # The file against its own signature, with whatever certificates make its
    # chain; only then whether that chain leads to CA-FILE.
    rm -f "$work/sig" "$work/bare"
    osslsigncode extract-signature -pem -in "$f" -out "$work/sig" >/dev/null 2>&1 || true
    { openssl pkcs7 -in "$work/sig" -print_certs 2>/dev/null && cat "$ca" /etc/ssl/certs/ca-certificates.crt 2>/dev/null; } \
      >"$work/chain" || true
    if ! osslsigncode verify ${nocrl:+"$nocrl"} -CAfile "$work/chain" -in "$f" >/dev/null 2>&1; then
      why=signature
    elif ! osslsigncode verify -CAfile "$ca" -in "$f" >/dev/null 2>&1; then
      why=chain
    fi
    osslsigncode remove-signature -in "$f" -out "$work/bare" >/dev/null 2>&1 && bare=$work/bare
    ;;
  esac
  if [ ! -f "$f" ]; then
    why=missing
  elif ! cmp -s "$bare" "$built/package/$name"; then
    why="${why:+$why, }bytes"
  fi
  if [ -n "$why" ]; then
    echo "failed: $name: $why"
    failed=$((failed + 1))
  else
    echo "ok: $name"
  fi
done <"$work/files"
if [ $failed -ne 0 ]; then
  echo "$failed of $total files failed."
  exit 1
fi
echo "verified: all $total files are $made, and the $signed signed ones carry valid signatures that chain to $ca."
