#!/bin/sh
# Fails when an executable imports a DLL outside the allowed list.
#   check-imports.sh OBJDUMP EXE DLL...
set -eu
objdump=$1
exe=$2
shift 2
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "$exe imports: $(echo $imports)"
bad=0
for dll in $imports; do
  ok=0
  for allowed in "$@"; do
    [ "$dll" = "$(echo "$allowed" | tr 'A-Z' 'a-z')" ] && ok=1
  done
  if [ $ok -eq 0 ]; then
    echo "not allowed: $dll"
    bad=1
  fi
done
exit $bad
