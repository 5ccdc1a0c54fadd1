#!/usr/bin/env bash
# Draws the four regional maps of the forecast-zone map from GSHHG coastlines
# with GMT, in the world maps' colours (see make_world_maps.sh):
#   res/US800_400.png             top-left 51.3 N 132.5 W
#   res/Carribean_800_400.png     top-left 41.045 N 113.467 W
#   res/Alaska_800_400.png        top-left 82.8 N 162.8 E (continuous across 180)
#   res/Pacific_Hawaii_800_400.png top-left 32.9 N 139.8 E (continuous across 180)
# Each is 800 x 400 plate carree at 11.37 pixels per degree in both axes, drawn
# at its own extent (never cut out of the world map), so that a position maps
# to x = (lon - left) * 11.37 and y = (top - lat) * 11.37.
#
# Needs: gmt, gmt-gshhg-high (or set GSHHG_RES=l for gmt-gshhg-low), ImageMagick.
# The PNGs are committed; the build does not run this script.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
res="${GSHHG_RES:-h}"
sea="169/203/224"
land="232/223/196"
coast="107/123/140"
border="170/158/130"
ppd=11.37
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"   # GMT leaves its history and defaults files in the working folder

# name, top latitude, left longitude (east may pass 180), smallest feature in km^2
maps=(
  "US800_400 51.3 -132.5 500"
  "Carribean_800_400 41.045 -113.467 20"
  "Alaska_800_400 82.8 162.8 100"
  "Pacific_Hawaii_800_400 32.9 139.8 0"
)

for m in "${maps[@]}"; do
  read -r name north west area <<<"$m"
  east="$(awk -v w="$west" -v p="$ppd" 'BEGIN { printf "%.6f", w + 800 / p }')"
  south="$(awk -v n="$north" -v p="$ppd" 'BEGIN { printf "%.6f", n - 400 / p }')"
  # 8 x 4 inches at 100 dpi gives 800 x 400 pixels; the page is the plot.
  gmt pscoast -R"$west/$east/$south/$north" -JX8i/4i -D"$res" -A"$area" \
    -G"$land" -S"$sea" -C"$sea" -W0.25p,"$coast" -N1/0.25p,"$border" \
    -Xa0i -Ya0i -P --PS_MEDIA=8ix4i > "$tmp/$name.ps"
  gmt psconvert "$tmp/$name.ps" -Tg -E100 -F"$tmp/$name"
  size="$(identify -format '%wx%h' "$tmp/$name.png")"
  if [ "$size" != "800x400" ]; then
    echo "unexpected size $size of $name" >&2
    exit 1
  fi
  convert "$tmp/$name.png" +dither -colors 16 PNG8:"$top/res/$name.png"
  echo "wrote res/$name.png ($west..$east E, $south..$north N)"
done
