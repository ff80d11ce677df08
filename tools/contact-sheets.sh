#!/bin/sh
# Contact sheets of the wizard's Finished page, one per script, drawn from
# the reviewed pictures in tests/golden: docs/languages/<script>.png, each
# picture under its name, halved where a script has several languages. Run it
# after taking new pictures.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$top/docs/languages"
sheet() {
  script=$1
  shift
  pictures=""
  for lang in "$@"; do pictures="$pictures $top/tests/golden/$lang-install-finished.png"; done
  scale=100%
  [ $# -gt 1 ] && scale=50%
  # shellcheck disable=SC2086 # one word a picture
  montage -label '%t' $pictures -resize $scale -font DejaVu-Sans -pointsize 11 -geometry +4+4 -tile "$(($# < 4 ? $# : 4))x" \
    -depth 8 -strip "$top/docs/languages/$script.png"
}
sheet latin en fra deu ita esn sve nld ptb
sheet cyrillic rus
sheet chinese-traditional cht
sheet chinese-simplified chs
sheet japanese jpn
sheet korean kor
