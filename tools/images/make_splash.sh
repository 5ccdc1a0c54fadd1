#!/usr/bin/env bash
# Draws the splash picture res/LaunchScreen.bmp (480 x 320, 24-bit BMP).
# Start-up writes "Version ..." onto it at x 148, y 102 in grey; that strip
# (x 148-470, y 98-122) is left plain.
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
serif_bold=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
navy="#1F3B57"
teal="#2E7D8C"

convert -size 480x320 xc:"#F5F7F9" \
  \( -size 480x120 gradient:"#BFD9E6"-"#2E6F8E" \) -geometry +0+200 -composite \
  -fill "#F5F7F9" -stroke none \
  -draw "path 'M 0,200 C 60,186 100,214 160,200 C 220,186 260,214 320,200 C 380,186 420,214 480,200 L 480,190 L 0,190 Z'" \
  -fill none -stroke "#FFFFFF" -strokewidth 2 \
  -draw "path 'M 0,236 C 60,222 100,250 160,236 C 220,222 260,250 320,236 C 380,222 420,250 480,236'" \
  -stroke "#DCEBF2" -strokewidth 1.5 \
  -draw "path 'M 0,268 C 60,256 100,280 160,268 C 220,256 260,280 320,268 C 380,256 420,280 480,268'" \
  -stroke "#A9CBE0" -strokewidth 1 \
  -draw "path 'M 0,296 C 60,286 100,306 160,296 C 220,286 260,306 320,296 C 380,286 420,306 480,296'" \
  -fill "#FFFFFF" -stroke "$navy" -strokewidth 3 -draw "circle 76,92 76,40" \
  -fill "$teal" -stroke none \
  -draw "path 'M 32,104 C 46,90 58,90 70,104 C 82,118 96,118 110,104 C 114,100 118,98 121,98 L 121,122 C 100,138 52,138 32,116 Z'" \
  -fill none -stroke "$navy" -strokewidth 3 \
  -draw "line 76,46 76,96" \
  -fill "$navy" -stroke none -draw "polygon 76,42 70,58 82,58" \
  -fill "$navy" -stroke none -draw "polygon 78,50 104,66 78,82" \
  -font "$serif_bold" -pointsize 40 -fill "$navy" -annotate +146+86 "Tidewright" \
  -font "$sans" -pointsize 13 -fill "#4A5A6A" -annotate +148+150 "Weather and ocean data for the open water" \
  -pointsize 11 -fill "#6A7A8A" -annotate +148+170 "GRIB files, charts, imagery, forecasts and buoy reports" \
  -fill none -stroke "#8A9AAA" -strokewidth 1 -draw "rectangle 0,0 479,319" \
  -type TrueColor BMP3:"$top/res/LaunchScreen.bmp"
echo "wrote res/LaunchScreen.bmp"
