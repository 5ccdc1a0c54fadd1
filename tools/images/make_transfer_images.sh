#!/usr/bin/env bash
# Draws the images of the transfer window in the palette of the splash
# picture: the five tool buttons (36 x 36 PNG, plain and hover), the
# important-message button (32 x 32 BMP, plain and inverse), the logo
# (156 x 36 PNG, standard and event edition) and the window icon (ICO).
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
source "$(dirname "$0")/picture_lib.sh"

# tool NAME GLYPH-DRAW-ARGS...: a rounded tile with a glyph; the hover form
# has a teal tile and a white glyph. The glyph is drawn with the colour
# placeholders GLYPH and FILL replaced.
tool() {
  local name="$1"
  shift
  local plain=() hover=()
  for a in "$@"; do
    plain+=("${a//GLYPH/$navy}")
    hover+=("${a//GLYPH/#FFFFFF}")
  done
  plain=("${plain[@]//FILL/$mist}")
  hover=("${hover[@]//FILL/$teal}")
  convert -size 36x36 xc:none \
    -fill "$paper" -stroke "#8A9AAA" -strokewidth 1 -draw "roundrectangle 1.5,1.5 34.5,34.5 7,7" \
    "${plain[@]}" \
    "${png_out[@]}" "PNG32:$res/$name.png"
  convert -size 36x36 xc:none \
    -fill "$teal" -stroke "$navy" -strokewidth 1 -draw "roundrectangle 1.5,1.5 34.5,34.5 7,7" \
    "${hover[@]}" \
    "${png_out[@]}" "PNG32:$res/${name}_over.png"
}

# Go: an arrow down onto a tray.
tool tool_Go \
  -fill GLYPH -stroke none -draw "polygon 15,7 21,7 21,17 26,17 18,26 10,17 15,17" \
  -fill none -stroke GLYPH -strokewidth 2.5 -draw "polyline 8,24 8,29 28,29 28,24"

# Dialer: a dish on a post with two arcs of signal.
tool tool_SatelliteDialer \
  -fill GLYPH -stroke none -draw "path 'M 8,14 A 10,10 0 0 0 22,28 Z'" \
  -fill none -stroke GLYPH -strokewidth 2.2 -draw "line 15,21 11,30" -draw "line 9,30 19,30" \
  -strokewidth 2 -draw "arc 17,5 31,19 270,360" -draw "arc 20,2 34,16 270,360" \
  -fill GLYPH -stroke none -draw "circle 19,17 19,15"

# Settings: three sliders.
tool tool_Gateway-FT \
  -fill none -stroke GLYPH -strokewidth 2 -draw "line 8,11 28,11" -draw "line 8,18 28,18" -draw "line 8,25 28,25" \
  -fill FILL -stroke GLYPH -strokewidth 2 -draw "circle 13,11 13,8" -draw "circle 23,18 23,15" -draw "circle 16,25 16,22"

# Close: a cross.
tool tool_Close \
  -fill none -stroke GLYPH -strokewidth 3.5 -draw "line 11,11 25,25" -draw "line 25,11 11,25"

# Help: a question mark in a ring.
tool tool_help-FT \
  -fill none -stroke GLYPH -strokewidth 2 -draw "circle 18,18 18,6" \
  -fill GLYPH -stroke none -font "$sans_bold" -pointsize 16 -gravity center -annotate +0+1 "?"

# Important message: a sealed letter with a mark; the inverse swaps the colours.
letter() {
  local bg="$1" fg="$2" mark="$3" out="$4"
  convert -size 32x32 xc:"$bg" \
    -fill "$bg" -stroke "$fg" -strokewidth 2 -draw "rectangle 4,9 27,25" \
    -fill none -stroke "$fg" -strokewidth 2 -draw "polyline 4,9 16,18 27,9" \
    -fill "$mark" -stroke "$bg" -strokewidth 1 -draw "circle 25,8 25,3" \
    -fill "$bg" -stroke none -draw "rectangle 24,5 26,8" -draw "rectangle 24,10 26,11" \
    -type TrueColor "BMP3:$out"
}
letter "#BEBEBE" "$navy" "#C8553D" "$icons/update.bmp"
letter "$teal" "#FFFFFF" "#F2B134" "$icons/updateinv.bmp"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
emblem "$tmp/emblem.png"

# Logo: emblem and name on a transparent ground.
logo() {
  local out="$1" tag="$2"
  convert -size 156x36 xc:none \
    \( "$tmp/emblem.png" -resize 32x32 \) -geometry +2+2 -composite \
    -font "$serif_bold" -pointsize 19 -fill "$navy" -annotate +39+24 "Tidewright" \
    "${@:3}" \
    "${png_out[@]}" "PNG32:$out"
  [ -z "$tag" ] || true
}
logo "$res/TidewrightLogo.png" ""
logo "$res/TidewrightLogoAlt.png" "event" \
  -font "$sans_bold" -pointsize 7 -fill "$teal" -annotate +41+33 "EVENT EDITION"

# Window icon: the emblem at three sizes.
convert "$tmp/emblem.png" \( -clone 0 -resize 16x16 \) \( -clone 0 -resize 32x32 \) \( -clone 0 -resize 48x48 \) \
  -delete 0 "$icons/rivol.ico"

echo "wrote the transfer window's images into res/ and Icons/"
