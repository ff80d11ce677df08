#!/bin/sh
# Converts the wizard's page captures (BMP) to PNG for viewing.
dir=$1
[ -d "$dir" ] || exit 0
for f in "$dir"/*.bmp; do
  [ -f "$f" ] || continue
  convert "$f" "${f%.bmp}.png" || exit 1
done
ls "$dir"/*.png 2>/dev/null
