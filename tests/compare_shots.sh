#!/bin/sh
# Compares the pictures taken (SHOTS/*.bmp) pixel for pixel with their
# reviewed copies (GOLDEN/*.png), which SETUP_GOLDEN_UPDATE=1 replaces.
#   compare_shots.sh SHOTS GOLDEN
shots=$1 golden=$2 bad=0
for s in "$shots"/*.bmp; do
  [ -f "$s" ] || continue
  n=$(basename "$s" .bmp)
  convert "$s" "$shots/$n.png" || exit 1
  [ "${SETUP_GOLDEN_UPDATE:-}" = 1 ] && cp "$shots/$n.png" "$golden/$n.png"
  d=$(compare -metric AE "$golden/$n.png" "$shots/$n.png" "$shots/$n-diff.png" 2>&1)
  [ "$d" = 0 ] || { echo "$n: $d pixels differ from $golden/$n.png, see $shots/$n-diff.png" && bad=1; }
done
exit $bad
