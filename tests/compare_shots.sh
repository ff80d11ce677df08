#!/bin/sh
# Compares the pictures the tests took (SHOTS/*.bmp) with their reviewed
# copies (GOLDEN/*.png), pixel for pixel; each also lands as SHOTS/*.png.
# With SETUP_GOLDEN_UPDATE=1 the pictures taken become the reviewed ones.
#   compare_shots.sh SHOTS GOLDEN
shots=$1 golden=$2 bad=0
for s in "$shots"/*.bmp; do
  [ -f "$s" ] || continue
  n=$(basename "$s" .bmp)
  convert "$s" "$shots/$n.png" || exit 1
  if [ "${SETUP_GOLDEN_UPDATE:-}" = 1 ]; then
    cp "$shots/$n.png" "$golden/$n.png"
  elif [ ! -f "$golden/$n.png" ]; then
    echo "$n: no reviewed copy in $golden" && bad=1
  else
    d=$(compare -metric AE "$golden/$n.png" "$shots/$n.png" "$shots/$n-diff.png" 2>&1)
    [ "$d" = 0 ] || { echo "$n: $d pixels differ, see $shots/$n-diff.png" && bad=1; }
  fi
done
exit $bad
