#!/usr/bin/env bash
# Draws the five home markers of the map control (25 x 25 PNG with
# transparency) in the palette of the splash picture. The map draws a marker
# with its pixel (9, 9) on the home position, so every marker points there:
# the crosshair is centred on it, the others are a round badge with a
# pictogram below and right of a dot on (9, 9). A white halo and a navy
# outline keep them visible on sea and on land.
#   res/PointerIcon-Crosshair-25.png  res/PointerIcon-Yacht-25.png
#   res/PointerIcon-Sailboat-25.png   res/PointerIcon-Home-25.png
#   res/PointerIcon-Hiker-25.png
# Needs ImageMagick; the build does not run this script.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
res="$top/res"
navy="#1F3B57"
red="#C8442B"
white="#FFFFFF"

out() { echo "-define png:color-type=6 PNG32:$res/PointerIcon-$1-25.png"; }

# Crosshair: a ring and a cross centred on (9, 9), a red centre.
convert -size 25x25 xc:none \
  -fill none -stroke "$white" -strokewidth 4 -draw "circle 9,9 9,3" \
  -draw "line 9,0 9,18" -draw "line 0,9 18,9" \
  -stroke "$navy" -strokewidth 1.6 -draw "circle 9,9 9,3" \
  -draw "line 9,0.5 9,17.5" -draw "line 0.5,9 17.5,9" \
  -fill "$red" -stroke "$white" -strokewidth 1 -draw "circle 9,9 9,6.8" \
  $(out Crosshair)

# badge NAME PICTOGRAM-DRAW-ARGS...: the pin (a stem from the dot on (9, 9) to
# a badge centred on (16, 16)) with a white pictogram in the badge.
badge() {
  local name="$1"
  shift
  convert -size 25x25 xc:none \
    -fill "$white" -stroke "$white" -strokewidth 3 -draw "line 9,9 13,13" -draw "circle 16,16 16,7" \
    -draw "circle 9,9 9,5" \
    -fill "$red" -stroke "$navy" -strokewidth 1 -draw "circle 16,16 16,8.5" \
    -stroke "$navy" -strokewidth 1.4 -draw "line 9,9 11,11" \
    -fill "$red" -stroke "$navy" -strokewidth 1 -draw "circle 9,9 9,6.5" \
    -fill "$white" -stroke none "$@" \
    $(out "$name")
}

# Motor yacht: hull and cabin.
badge Yacht -draw "polygon 10.5,17.5 22,17.5 20,20.5 12.5,20.5" -draw "rectangle 13.5,14 18.5,16.8" \
  -draw "rectangle 15,12 17,13.5"

# Sailboat: a sail and a hull.
badge Sailboat -draw "polygon 17,9.5 17,17 22,17" -draw "polygon 15.2,12 15.2,17 12,17" \
  -draw "polygon 10.5,18.6 22,18.6 20,21.2 12.5,21.2"

# Home: roof, walls and a door.
badge Home -draw "polygon 16,10.5 22,16 10,16" -draw "rectangle 12,16 20,21.5" \
  -fill "$red" -draw "rectangle 15,18 17,21.5"

# Hiker: head, body, legs and a stick.
badge Hiker -draw "circle 16.5,11.5 16.5,10" \
  -stroke "$white" -strokewidth 1.6 -fill none \
  -draw "line 16,13.5 15,18" -draw "line 15,18 12.5,22" -draw "line 15,18 17.5,22" \
  -draw "line 16,14.5 19,16.5" -draw "line 19.5,14 20.5,22.5"

for n in Crosshair Yacht Sailboat Home Hiker; do
  echo "wrote res/PointerIcon-$n-25.png"
done
