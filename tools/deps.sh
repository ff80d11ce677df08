#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine, once.
set -eu
need="g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb x11-apps imagemagick cmake ninja-build
      doctest-dev python3 locales fonts-wqy-zenhei fonts-liberation clang-format openssl osslsigncode"
missing=""
for p in $need; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
