#!/bin/sh
# Compares the pictures taken (SHOTS/*.ppm) pixel for pixel with their
# reviewed copies (GOLDEN/*.png); SETUP_GOLDEN_UPDATE=1 replaces those that differ.
#   compare_shots.sh SHOTS GOLDEN
shots=$1 golden=$2 bad=0
for s in "$shots"/*.ppm; do
  [ -f "$s" ] || continue
  n=$(basename "$s" .ppm)
  d=$(compare -metric AE "$golden/$n.png" "$s" null: 2>&1)
  [ "$d" = 0 ] || compare "$golden/$n.png" "$s" "$shots/$n-diff.png" 2>/dev/null
  # No dates or other chunks: the same pixels, the same file.
  [ "$d" != 0 ] && [ "${SETUP_GOLDEN_UPDATE:-}" = 1 ] && convert "$s" -strip "$golden/$n.png" && d=0
  [ "$d" = 0 ] || { echo "$n: $d pixels differ from $golden/$n.png, see $shots/$n-diff.png" && bad=1; }
done
# A run that took pictures of a family (en-, cht-, skin-) takes all of them:
# a page the tests no longer reach must not pass for want of its picture.
for g in "$golden"/*.png; do
  n=$(basename "$g" .png)
  ls "$shots/${n%%-*}"-*.ppm >/dev/null 2>&1 || continue
  [ -f "$shots/$n.ppm" ] || { echo "$n: not taken, though the other ${n%%-*}- pictures were" && bad=1; }
done
exit $bad
