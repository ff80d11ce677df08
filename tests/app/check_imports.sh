#!/bin/sh
# Fails when an executable imports a DLL outside the allowed (lower-case) list.
#   check_imports.sh OBJDUMP EXE DLL...
objdump=$1 exe=$2
shift 2
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "$exe imports: $(echo $imports)"
bad=$(echo "$imports" | grep -v -x -F "$(printf '%s\n' "$@")") && echo "not allowed: $bad" && exit 1
exit 0
