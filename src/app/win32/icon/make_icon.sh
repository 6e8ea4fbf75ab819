#!/bin/sh
# Draws the program icon: a blue capital R on a white disc, struck through by a red
# prohibition sign (ring plus a bar from upper right to lower left). 32x32, 16 colours.
# Usage: make_icon.sh OUTPUT.ico
set -eu
out=${1:?usage: make_icon.sh OUTPUT.ico}
convert -size 32x32 xc:"#00FF00" +antialias \
  -fill white -stroke none -draw "circle 16,16 16,2" \
  -fill '#0000FF' -stroke '#0000FF' -strokewidth 1 \
  -draw "rectangle 10,8 12,24" \
  -draw "rectangle 10,8 17,10" -draw "rectangle 10,15 17,17" \
  -draw "rectangle 17,10 19,15" \
  -draw "line 14,17 20,24" -draw "line 15,17 21,24" -draw "line 13,17 19,24" \
  -fill none -stroke '#FF0000' -strokewidth 3 -draw "circle 16,16 16,3" \
  -draw "line 25,7 7,25" \
  -colors 16 -transparent "#00FF00" -type PaletteAlpha -depth 4 "$out"
