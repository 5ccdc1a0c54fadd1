#!/usr/bin/env bash
# Draws the two world maps of the map control from GSHHG coastlines with GMT:
#   res/WorldmapTiff.PNG      Greenwich-centred: x 0 at 180 W, y 0 at 90 N
#   res/WorldmapTiffAnti.PNG  Pacific-centred: the same map rolled by half its
#                             width, so x 0 is at 0 E
# Both are 4096 x 2048 plate carree (11.3778 pixels per degree), calm sea and
# land colours with thin coastlines, stored as palette PNGs.
#
# Needs: gmt, gmt-gshhg-low (or -high, then set GSHHG_RES=h), ImageMagick.
# The PNGs are committed; the build does not run this script.
#   sudo apt-get install gmt gmt-gshhg-low imagemagick
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
res="${GSHHG_RES:-l}"          # GSHHG resolution: c, l, i, h or f
sea="169/203/224"
land="232/223/196"
coast="107/123/140"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"   # GMT leaves its history and defaults files in the working folder

# 40.96 x 20.48 inches at 100 dpi gives 4096 x 2048 pixels; the page is the
# plot, so no cropping shifts the georeference.
gmt pscoast -R-180/180/-90/90 -JX40.96i/20.48i -D"$res" -A50 \
  -G"$land" -S"$sea" -C"$sea" -W0.25p,"$coast" \
  -Xa0i -Ya0i -P --PS_MEDIA=40.96ix20.48i > "$tmp/map.ps"
gmt psconvert "$tmp/map.ps" -Tg -E100 -F"$tmp/map"

size="$(identify -format '%wx%h' "$tmp/map.png")"
if [ "$size" != "4096x2048" ]; then
  echo "unexpected map size $size" >&2
  exit 1
fi
convert "$tmp/map.png" +dither -colors 16 PNG8:"$top/res/WorldmapTiff.PNG"
convert "$top/res/WorldmapTiff.PNG" -roll +2048+0 PNG8:"$top/res/WorldmapTiffAnti.PNG"
echo "wrote res/WorldmapTiff.PNG and res/WorldmapTiffAnti.PNG"
