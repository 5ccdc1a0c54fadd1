#!/usr/bin/env bash
# Draws the pictures of the METAREA picker and of the US region picker from
# the outline tables in windows/map/ZoneRegions.cpp (printed by zone_regions.cpp,
# which this script compiles), so that the outlines in the pictures are the
# ones the dialogs hit-test:
#   res/WorldMetAreaMap2.png   635 x 465: Mercator world map (587 pixels to
#                              360 degrees, x 0 at 60.145 W, equator on row
#                              270; the last 48 columns repeat the first) with
#                              every METAREA outline drawn over the sea
#   Icons/red_check_16_16.png  16 x 16 check mark with transparency
#   res/coastal_level1.png     558 x 460: the US with its coastal regions
#   res/offshore_zones.png     558 x 460: the US with its offshore regions
# The region pictures show the lower 48 states on one map (equidistant,
# 8.9 pixels to a degree of longitude, 12.5 to a degree of latitude) and
# Alaska, the Pacific islands, Puerto Rico and the US Arctic coast in insets
# cut to their regions' outlines; every region is tinted, outlined and
# labelled. The colours are the world maps' and the splash picture's; the
# picker tests know the tint and outline colours below.
#
# Needs: a C++ compiler, gmt, gmt-gshhg-low, ImageMagick and the DejaVu fonts.
# The pictures are committed; the build does not run this script.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
gshhg="${GSHHG_RES:-l}"        # GSHHG resolution: c, l, i, h or f
sea="169/203/224"
land="232/223/196"
coast="107/123/140"
border="138/126/104"           # country borders
state="196/184/158"            # state and province borders
navy="#1F3B57"                 # outlines and labels
tint="rgba(46,125,140,0.35)"   # the splash's teal over each region
sans_bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
# No time stamps in the PNGs, so that drawing again changes no byte.
png_fixed="-define png:exclude-chunks=date,time"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"   # GMT leaves its history and defaults files in the working folder

c++ -std=c++17 -O1 -I"$top" "$top/tools/images/zone_regions.cpp" "$top/windows/map/ZoneRegions.cpp" -o zone_regions
./zone_regions > tables.tsv

rgb() { echo "rgb(${1//\//,})"; }

# expect FILE WxH: stops unless the picture has that size.
expect() {
  local size
  size="$(identify -format '%wx%h' "$1")"
  if [ "$size" != "$2" ]; then
    echo "$1: unexpected size $size (want $2)" >&2
    exit 1
  fi
}

# coastmap OUT W H REGION PROJECTION [pscoast options...]: a W x H pixel map
# of REGION without anti-aliasing, so that its colours stay the few above.
# The page is the plot, so no cropping shifts the georeference.
coastmap() {
  local out="$1" w="$2" h="$3" region="$4" proj="$5"
  shift 5
  local wi hi
  wi="$(awk -v p="$w" 'BEGIN { printf "%.2f", p / 100 }')"
  hi="$(awk -v p="$h" 'BEGIN { printf "%.2f", p / 100 }')"
  gmt pscoast -R"$region" "$proj" -D"$gshhg" -G"$land" -S"$sea" -W0.25p,"$coast" "$@" \
    -Xa0i -Ya0i -P --PS_MEDIA="${wi}ix${hi}i" --PROJ_ELLIPSOID=Sphere > "$out.ps"
  gmt psconvert "$out.ps" -Tg -E100 -Qg1 -Qt1 -F"$out"
  expect "$out.png" "${w}x${h}"
}

# ---------------------------------------------------------------- METAREAs

# The latitudes of the top and bottom rows: 270 and 195 pixels from the
# equator at 587 / (2 pi) pixels per radian of the Mercator ordinate.
read -r lat_s lat_n < <(awk 'BEGIN {
  pi = atan2(0, -1); r = 587 / (2 * pi)
  printf "%.6f %.6f\n", (2 * atan2(exp(-195 / r), 1) - pi / 2) * 180 / pi,
                        (2 * atan2(exp(270 / r), 1) - pi / 2) * 180 / pi }')
coastmap world 587 465 "-60.145/299.855/$lat_s/$lat_n" -JM5.87i -A1000/0/1
convert world.png \( +clone -crop 48x465+0+0 \) +append +repage world635.png
expect world635.png 635x465

# Outlines, 1 pixel, only where the map shows open sea: coasts end them.
met_draws=()
while IFS=$'\t' read -r -a f; do
  [ "${f[0]}" = metarea ] || continue
  for ((i = 5; i < ${#f[@]}; i++)); do
    met_draws+=(-draw "polygon ${f[i]}")
  done
done < tables.tsv
convert -size 635x465 xc:none +antialias -fill none -stroke "$navy" -strokewidth 1 "${met_draws[@]}" met_lines.png
convert world635.png -fill white -opaque "$(rgb "$sea")" -fill black +opaque white met_seamask.png
convert world635.png met_lines.png met_seamask.png -composite +dither -colors 64 $png_fixed \
  PNG8:"$top/res/WorldMetAreaMap2.png"
expect "$top/res/WorldMetAreaMap2.png" 635x465

# Check mark: red over a white rim, so it shows on sea and land alike.
mkdir -p "$top/Icons"
convert -size 16x16 xc:none -fill none -stroke "#FFFFFF" -strokewidth 5 -draw "polyline 3,8 6.5,12 13,3.5" \
  -stroke "#C8253D" -strokewidth 2.6 -draw "polyline 3,8 6.5,12 13,3.5" \
  -define png:color-type=6 $png_fixed "PNG32:$top/Icons/red_check_16_16.png"
expect "$top/Icons/red_check_16_16.png" 16x16

# ---------------------------------------------------------------- US regions

# The lower 48 states: x 0 at 127.96 W, y 0 at 50.2 N.
us_region="-127.96/-65.26/13.4/50.2"
us_proj="-JX5.58id/4.60id"
coastmap us 558 460 "$us_region" "$us_proj" -A500 -N1/0.5p,"$border" -N2/0.25p,"$state"

# inset OUT FACE CODE REGION: draws REGION (a plain lon/lat box) into the
# bounding box of the region's outline and pastes it into OUT, cut to the
# outline.
inset() {
  local out="$1" face="$2" code="$3" region="$4"
  local ring
  ring="$(awk -F'\t' -v face="$face" -v code="$code" '$1 == face && $2 == code { print $7 }' tables.tsv)"
  read -r x0 y0 x1 y1 < <(tr ' ,' '\n ' <<< "$ring" | awk '
    NR == 1 { a = $1; b = $2; c = $1; d = $2 }
    { if ($1 < a) a = $1; if ($2 < b) b = $2; if ($1 > c) c = $1; if ($2 > d) d = $2 }
    END { print a, b, c, d }')
  local w=$((x1 - x0 + 1)) h=$((y1 - y0 + 1))
  coastmap "inset_${face}_$code" "$w" "$h" "$region" \
    "-JX$(awk -v p="$w" 'BEGIN { printf "%.2f", p / 100 }')id/$(awk -v p="$h" 'BEGIN { printf "%.2f", p / 100 }')id" \
    -A100 -N1/0.5p,"$border"
  convert -size 558x460 xc:none "inset_${face}_$code.png" -geometry "+$x0+$y0" -composite inset_full.png
  convert -size 558x460 xc:black +antialias -fill white -stroke none -draw "polygon $ring" inset_mask.png
  convert "$out" inset_full.png inset_mask.png -composite "$out"
}

# regions FACE IN OUT: tints, outlines and labels every region of the face.
regions() {
  local face="$1" in="$2" out="$3"
  local tints=() lines=() labels=()
  while IFS=$'\t' read -r -a f; do
    [ "${f[0]}" = "$face" ] || continue
    tints+=(-draw "polygon ${f[6]}")
    lines+=(-draw "polygon ${f[6]}")
    local at
    at="$(printf '%+d%+d' $((f[4] - 279)) $((f[5] - 230)))"
    labels+=("$at" "${f[3]}")
  done < tables.tsv
  local halo=() text=()
  for ((i = 0; i < ${#labels[@]}; i += 2)); do
    halo+=(-annotate "${labels[i]}" "${labels[i + 1]}")
    text+=(-annotate "${labels[i]}" "${labels[i + 1]}")
  done
  convert "$in" +antialias -fill "$tint" -stroke none "${tints[@]}" \
    -fill none -stroke "$navy" -strokewidth 2 "${lines[@]}" \
    -antialias -font "$sans_bold" -pointsize 11 -gravity center \
    -fill "$navy" -stroke "#FFFFFF" -strokewidth 3 "${halo[@]}" \
    -stroke none "${text[@]}" \
    -type TrueColor $png_fixed PNG24:"$out"
  expect "$out" 558x460
}

cp us.png coastal.png
inset coastal.png coastal 6 "-179.5/-129/51/72"           # Alaska
inset coastal.png coastal 7 "142/210/-1/31"              # the Pacific islands
inset coastal.png coastal 8 "-68.2/-64.2/17.1/19.3"      # Puerto Rico and the Virgin Islands
regions coastal coastal.png "$top/res/coastal_level1.png"

cp us.png offshore.png
inset offshore.png offshore 6 "166/235/46/67"            # Alaska and the Bering Sea
inset offshore.png offshore 12 "-170/-137/68.6/73.4"     # the US Arctic coast
inset offshore.png offshore 13 "-179/-153/16.5/29"       # Hawaii
regions offshore offshore.png "$top/res/offshore_zones.png"

echo "wrote res/WorldMetAreaMap2.png, Icons/red_check_16_16.png, res/coastal_level1.png and res/offshore_zones.png"
