#!/usr/bin/env bash
# Draws the Portal window's pictures:
#   res/tool_<Stem>.png, _select.png, _over.png   the category and settings
#       buttons (36 x 36) that the page strip of the content wizard does not
#       already have (make_wizard_images.sh draws those eleven)
#   res/btn_<Stem>.png, _over.png                 the labelled and small buttons,
#       each at the size of its place in the window
#   res/LandingPageBackground.bmp                 the window's ground (1000 x 726,
#       24-bit BMP), with panels under the button groups, the tree and the map
#   Icons/talvologo.png                           the maker's mark (16 x 16) of the
#       grouping nodes in the suggestions and catalogue trees
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
source "$(dirname "$0")/picture_lib.sh"

tool_faces tool_BuoyWeather BuoyWeather
tool_faces tool_Radar Radar
tool_faces tool_Ice Ice
tool_faces tool_Terrafin Terrafin
tool_faces tool_DalenMorrow DalenMorrow
tool_faces tool_MarisolVenet MarisolVenet
tool_faces tool_DataManage DataManage
tool_faces tool_Help Help

# Labelled buttons: stem, width, height, kind, label, pictogram.
wide_pair "$res/btn_LaunchWizard.png" "$res/btn_LaunchWizard_over.png" 181 30 plain "Launch Wizard" Wizard
wide_pair "$res/btn_RefreshList.png" "$res/btn_RefreshList_over.png" 181 30 plain "Refresh List" Update
wide_pair "$res/btn_Download.png" "$res/btn_Download_over.png" 181 57 primary "Download" Download 20
wide_pair "$res/btn_BasicMode.png" "$res/btn_BasicMode_over.png" 100 25 plain "Basic Mode" "" 11
wide_pair "$res/btn_LibraryMode.png" "$res/btn_LibraryMode_over.png" 100 25 plain "Library Mode" "" 11
wide_pair "$res/btn_RecenterReload.png" "$res/btn_RecenterReload_over.png" 180 46 plain "Recenter on Home" Recenter 12
wide_pair "$res/btn_ChangeMap.png" "$res/btn_ChangeMap_over.png" 149 46 plain "Change Map" ChangeMap 13

# Small pictogram buttons.
for hover in 0 1; do
  suffix=""
  [ "$hover" = 1 ] && suffix="_over"
  glyph_button "$res/btn_UpdateFileList$suffix.png" 25 25 plain "$hover" Update
  glyph_button "$res/btn_ZoomIn$suffix.png" 22 24 plain "$hover" ZoomIn
  glyph_button "$res/btn_ZoomOut$suffix.png" 22 29 plain "$hover" ZoomOut
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
emblem "$tmp/emblem.png"
emblem "$tmp/emblem_light.png" "#FFFFFF" "$navy" "$teal"

# The maker's mark for the trees: the emblem's ring and wave without the flag
# (a flag does not survive 16 pixels).
convert -size 64x64 xc:none \
  -fill "#FFFFFF" -stroke "$navy" -strokewidth 7 -draw "circle 32,32 32,5" \
  -fill "$teal" -stroke none \
  -draw "path 'M 7,36 C 15,27 23,27 30,36 C 37,45 46,45 56,36 L 58,38 C 52,60 12,60 6,40 Z'" \
  -fill "$navy" -draw "polygon 30,12 30,30 46,21" \
  -resize 16x16 "${png_out[@]}" "PNG32:$icons/talvologo.png"

# The window's ground. Controls (client coordinates): category row y 54-90 from
# x 298 to 971; Launch Wizard (50, 57); tree (11, 102) 258 x 401; Refresh
# (50, 515); Download (50, 560); settings row y 621-657 x 25-256; mode row
# y 661-686; map (281, 102) 708 x 510; map buttons y 631-685; coordinates
# label at (680, 651).
w=1000
h=726
convert -size "${w}x${h}" gradient:"$paper"-"$mist" \
  -fill "$navy" -stroke none -draw "rectangle 0,0 $w,44" \
  \( "$tmp/emblem_light.png" -resize 34x34 \) -geometry +10+5 -composite \
  -font "$serif_bold" -pointsize 22 -fill "#FFFFFF" -annotate +52+30 "Tidewright" \
  -font "$sans" -pointsize 13 -fill "$sky" -annotate +190+29 "Portal" \
  -font "$sans" -pointsize 12 -fill "$mist" -gravity northeast -annotate +16+16 "Weather and ocean data for the open water" \
  -gravity northwest \
  -fill "#FFFFFF" -stroke "$rim" -strokewidth 1 \
  -draw "roundrectangle 4.5,50.5 275.5,695.5 8,8" \
  -draw "roundrectangle 286.5,50.5 992.5,94.5 8,8" \
  -draw "roundrectangle 276.5,620.5 992.5,695.5 8,8" \
  -fill "$mist" -stroke none -draw "rectangle 5,96 275,97" \
  -fill none -stroke "$navy" -strokewidth 2 -draw "rectangle 279,100 990,613" \
  -stroke "$rim" -strokewidth 1 -draw "rectangle 10.5,101.5 269.5,503.5" \
  -font "$sans" -pointsize 10 -fill "$ink" -stroke none -annotate +679+631 "Map pointer" \
  -fill "#FFFFFF" -stroke "$rim" -strokewidth 1 -draw "roundrectangle 676.5,646.5 819.5,672.5 4,4" \
  \( -size "${w}x40" gradient:"$sky"-"$deep" \) -geometry +0+700 -composite \
  -fill none -stroke "#FFFFFF" -strokewidth 1.5 \
  -draw "path 'M 0,708 C 60,700 100,716 160,708 C 220,700 260,716 320,708 C 380,700 420,716 480,708 C 540,700 580,716 640,708 C 700,700 740,716 800,708 C 860,700 900,716 960,708 C 980,705 990,705 1000,706'" \
  -stroke "$mist" -strokewidth 1 \
  -draw "path 'M 0,718 C 60,711 100,725 160,718 C 220,711 260,725 320,718 C 380,711 420,725 480,718 C 540,711 580,725 640,718 C 700,711 740,725 800,718 C 860,711 900,725 960,718 C 980,715 990,715 1000,716'" \
  -type TrueColor "BMP3:$res/LandingPageBackground.bmp"

echo "wrote the Portal window's pictures into res/ and Icons/"
