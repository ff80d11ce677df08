#!/bin/sh
# Compiles the named locales (e.g. de_DE) into DIR for LOCPATH, so that a
# test can give Wine a user-interface language without changing the
# system's installed locales.
#   make_locales.sh DIR LOCALE...
set -eu
dir=$1
shift
if [ ! -d /usr/share/i18n/locales ]; then
  echo "no locale sources in /usr/share/i18n/locales: install the Debian package 'locales'" >&2
  exit 1
fi
mkdir -p "$dir"
for l in "$@"; do
  out="$dir/$l.UTF-8"
  [ -f "$out/LC_MESSAGES/SYS_LC_MESSAGES" ] && continue
  # Exit status 1 means warnings only; the locale is written.
  rc=0
  localedef -i "$l" -f UTF-8 "$out" || rc=$?
  if [ $rc -gt 1 ] || [ ! -f "$out/LC_MESSAGES/SYS_LC_MESSAGES" ]; then
    echo "localedef failed for $l ($rc)" >&2
    exit 1
  fi
done
