#!/usr/bin/env bash
# Draws the Library window's pictures (res/tool_portal comes from the Basic
# window's script):
#   res/tool_basic, tool_wizard, tool_search, tool_install-batches,
#       tool_download (36 x 36) and their _over faces (the toolbar's
#       second picture of each tool)
#   res/TidewrightLogoBlockWide.png (456 x 36): the logo block at the
#       toolbar's end
#   Icons/closedfolder.png, openfolder.png (16 x 16): catalogue tree nodes
#   Icons/redfolder.png, greenfolder.png (16 x 16): batch disabled, enabled
#   Icons/UnChecked.png, Checked.png (32 x 16): item not selected, selected
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
source "$(dirname "$0")/picture_lib.sh"

tool_faces tool_basic Basic normal over
tool_faces tool_wizard Wizard normal over
tool_faces tool_search Search normal over
tool_faces tool_install-batches InstallBatches normal over
tool_faces tool_download Download normal over

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
emblem "$tmp/emblem_light.png" "#FFFFFF" "$navy" "$teal"

# Logo block: navy to teal, emblem, name and the splash's line.
convert -size 456x36 xc:none \
  \( -size 456x36 gradient:"$navy"-"$deep" -rotate -90 -resize 456x36! \
     \( -size 456x36 xc:none -fill white -draw "roundrectangle 0,0 455,35 7,7" \) \
     -compose dst-in -composite -compose over \) -composite \
  \( "$tmp/emblem_light.png" -resize 28x28 \) -geometry +6+4 -composite \
  -font "$serif_bold" -pointsize 19 -fill "#FFFFFF" -stroke none -annotate +42+25 "Tidewright" \
  -font "$sans" -pointsize 12 -fill "$mist" -annotate +172+23 "Weather and ocean data for the open water" \
  "${png_out[@]}" "PNG32:$res/TidewrightLogoBlockWide.png"

# Folders, drawn pixel-true at 16 x 16: FACE and EDGE colours.
closed_folder() {
  convert -size 16x16 xc:none -stroke "$2" -strokewidth 1 -fill "$1" \
    -draw "polygon 1.5,3.5 6,3.5 7.5,5 14.5,5 14.5,13.5 1.5,13.5" \
    -stroke "#FFFFFF" -draw "line 2.5,6.5 13.5,6.5" \
    "${png_out[@]}" "PNG32:$3"
}
closed_folder "#F6C85F" "#9A6B12" "$icons/closedfolder.png"
closed_folder "$brick" "#7E2E1E" "$icons/redfolder.png"
closed_folder "$leaf" "#1F5A34" "$icons/greenfolder.png"
convert -size 16x16 xc:none -stroke "#9A6B12" -strokewidth 1 -fill "#E5AE3A" \
  -draw "polygon 1.5,3.5 6,3.5 7.5,5 13.5,5 13.5,7.5 1.5,7.5" -draw "line 1.5,3.5 1.5,13.5" \
  -fill "#F8D57E" -draw "polygon 3.5,7.5 15.5,7.5 13,13.5 1.5,13.5" \
  "${png_out[@]}" "PNG32:$icons/openfolder.png"

# Item boxes: a 13 x 13 box in the middle of 32 x 16, ticked or clear.
box=(-fill "#FFFFFF" -stroke "$navy" -strokewidth 1 -draw "roundrectangle 9.5,1.5 22.5,14.5 2,2")
convert -size 32x16 xc:none "${box[@]}" "${png_out[@]}" "PNG32:$icons/UnChecked.png"
convert -size 32x16 xc:none "${box[@]}" \
  -fill none -stroke "$teal" -strokewidth 2.4 -draw "stroke-linejoin round stroke-linecap round polyline 12,8 15,11.5 20.5,4.5" \
  "${png_out[@]}" "PNG32:$icons/Checked.png"

echo "wrote the Library window's pictures into res/ and Icons/"
