#!/usr/bin/env bash
# Draws the Basic window's pictures (the account and data management buttons,
# res/tool_Gateway and res/tool_DataManage, come from the wizard's and the
# Portal's scripts):
#   res/tool_library, tool_UpdateFileListLrg, tool_portal (36 x 36) with
#       their _over faces; res/tool_help_basic.png and tool_help_over_basic.png
#   res/btn_Download_Basic.png, btn_Download_over_Basic.png (165 x 42)
#   res/btn_ChangeMapView.png, _over (165 x 30); res/btn_View.png, _over (101 x 30)
#   res/btn_ZoomIn_basic.png, btn_ZoomIn_over_basic.png, btn_ZoomOut_basic.png,
#       btn_ZoomOut_over_basic.png (23 x 22); res/ZoomStripes.png (14 x 12)
#   res/PointerCoordinates.png (307 x 30): a crosshair and a caption, and a
#       white field at x 180-302, y 4-26 for the pointer label laid over it
#   Icons/Rivol Alaska.png (175 x 30): the region picture shown until a
#       personality is loaded
#   Icons/<graphic> (175 x 30): one region picture per personality, for every
#       `graphic` named in data/zir/buttons.csv
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
source "$(dirname "$0")/picture_lib.sh"

tool_faces tool_library Library normal over
tool_faces tool_UpdateFileListLrg Update normal over
tool_faces tool_portal Portal normal over
tool_face normal Help "$res/tool_help_basic.png"
tool_face over Help "$res/tool_help_over_basic.png"

wide_button "$res/btn_Download_Basic.png" 165 42 primary 0 "Download" Download 17
wide_button "$res/btn_Download_over_Basic.png" 165 42 primary 1 "Download" Download 17
wide_pair "$res/btn_ChangeMapView.png" "$res/btn_ChangeMapView_over.png" 165 30 plain "Change Map View" ChangeMap 12
wide_pair "$res/btn_View.png" "$res/btn_View_over.png" 101 30 plain "View" View 13

glyph_button "$res/btn_ZoomIn_basic.png" 23 22 plain 0 ZoomIn
glyph_button "$res/btn_ZoomIn_over_basic.png" 23 22 plain 1 ZoomIn
glyph_button "$res/btn_ZoomOut_basic.png" 23 22 plain 0 ZoomOut
glyph_button "$res/btn_ZoomOut_over_basic.png" 23 22 plain 1 ZoomOut

# Zoom stripes: four bars rising from zoomed out to zoomed in.
convert -size 14x12 xc:none -fill "$navy" -stroke none \
  -draw "rectangle 0,9 2,11" -draw "rectangle 4,6 6,11" -draw "rectangle 8,3 10,11" \
  -fill "$teal" -draw "rectangle 12,0 13,11" \
  "${png_out[@]}" "PNG32:$res/ZoomStripes.png"

# Pointer coordinates: crosshair and caption on the left, a white field on the
# right for the label with the pointer's position.
convert -size 307x30 xc:none \
  -fill "$paper" -stroke "$rim" -strokewidth 1 -draw "roundrectangle 0.5,0.5 306.5,29.5 6,6" \
  -draw "$(glyph_draw Crosshair "$navy" "$mist" "$teal" 0.6111 6 4)" \
  -font "$sans_bold" -pointsize 12 -fill "$navy" -stroke none -annotate +36+20 "Pointer position" \
  -fill "#FFFFFF" -stroke "$rim" -strokewidth 1 -draw "roundrectangle 180.5,4.5 301.5,25.5 3,3" \
  "${png_out[@]}" "PNG32:$res/PointerCoordinates.png"

# Region pictures: a navy plate with a globe and the region's name.
region_picture() {
  local out="$1" label="$2"
  local pt=13
  [ ${#label} -gt 15 ] && pt=12
  convert -size 175x30 xc:none \
    -fill "$navy" -stroke none -draw "roundrectangle 0,0 174,29 7,7" \
    -fill "$teal" -draw "path 'M 0,22 C 30,18 50,27 88,22 C 120,18 150,27 174,21 L 174,22 C 174,26 171,29 167,29 L 7,29 C 3,29 0,26 0,22 Z'" \
    -draw "$(glyph_draw Portal "#FFFFFF" "$navy" "$amber" 0.7 3 2.4)" \
    \( -size 143x30 xc:none -font "$sans_bold" -pointsize "$pt" -fill "#FFFFFF" -gravity center \
       -annotate +0-1 "$label" \) -gravity northwest -geometry +30+0 -composite \
    "${png_out[@]}" "PNG32:$out"
}

region_picture "$icons/Rivol Alaska.png" "Tidewright Basic"

# One picture per personality: the rows of the buttons table that carry a
# graphic (Region is the first column, graphic the last).
csv="$top/data/zir/buttons.csv"
grep -v '^#' "$csv" | python3 -c '
import csv, sys
for row in csv.DictReader(sys.stdin):
    if row["graphic"]:
        print(row["graphic"] + "\t" + row["Region"])
' | while IFS=$'\t' read -r graphic region; do
  region_picture "$icons/$graphic" "$region"
done

echo "wrote the Basic window's pictures into res/ and Icons/"
