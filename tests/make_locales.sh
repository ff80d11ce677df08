#!/bin/sh
# Compiles the named locales (e.g. de_DE) into DIR for LOCPATH, so that a
# test can give Wine a user-interface language without changing the
# system's installed locales (localedef comes with Debian's 'locales').
#   make_locales.sh DIR LOCALE...
dir=$1
shift
mkdir -p "$dir"
for l in "$@"; do
  # Exit status 1 means warnings only; the locale is written.
  [ -f "$dir/$l.UTF-8/LC_MESSAGES/SYS_LC_MESSAGES" ] || localedef -i "$l" -f UTF-8 "$dir/$l.UTF-8"
  [ -f "$dir/$l.UTF-8/LC_MESSAGES/SYS_LC_MESSAGES" ] || { echo "no locale $l" >&2 && exit 1; }
done
