#!/usr/bin/env bash
# Draws the content wizard's pictures:
#   res/tool_<Theme>.png, _select.png, _over.png   the page strip's eleven
#       buttons (36 x 36): normal, pressed or current page, hover
#   res/loadwin_toll_bkg_no_transp.png            the strip's ground (601 x 54)
#   res/WizardPage-LeftCol.png                    the side picture of the
#       welcome page, and res/wiz_<Page>.png the side picture of each page
#       (164 x 640 all: theme pictogram, title and a line on the page; as
#       tall as the wizard's page area, so no grey shows under them)
#   res/wiz_processing.png                        "processing" notice (262 x 61)
# Needs ImageMagick and the DejaVu fonts; the build does not run this script.
set -euo pipefail
source "$(dirname "$0")/picture_lib.sh"

# The strip's buttons, in place order: file stem and pictogram.
strip=(
  tool_GribWeather:GribWeather
  tool_WeatherCharts:WeatherCharts
  tool_TextForecast:TextForecast
  tool_SatelliteImagery:SatelliteImagery
  tool_Buoys:Buoys
  tool_SurfaceCurrents:SurfaceCurrents
  tool_GribFishing:GribFishing
  tool_Preferences:Preferences
  tool_Home:Home
  tool_GPS:GPS
  tool_Gateway:Gateway
)
for entry in "${strip[@]}"; do
  tool_faces "${entry%%:*}" "${entry#*:}"
done

# The strip's ground: a light band with a well behind each button (buttons at
# x = 13 + 54 (place - 1), y = 9, 36 x 36), on the page's grey (220, 221, 222).
wells=()
for place in $(seq 1 11); do
  x=$((13 + 54 * (place - 1)))
  wells+=(-draw "roundrectangle $((x - 3)).5,6.5 $((x + 38)).5,47.5 9,9")
done
convert -size 601x54 xc:"rgb(220,221,222)" \
  \( -size 600x53 gradient:"#FFFFFF"-"$mist" \
     \( -size 600x53 xc:none -fill white -draw "roundrectangle 0,0 599,52 10,10" \) \
     -alpha set -compose dst-in -composite \) \
  -compose over -composite \
  -fill none -stroke "$rim" -strokewidth 1 -draw "roundrectangle 0.5,0.5 599.5,52.5 10,10" \
  -fill "#C9DDE8" -stroke "#B3CAD6" -strokewidth 1 "${wells[@]}" \
  "${png_rgb[@]}" "PNG24:$res/loadwin_toll_bkg_no_transp.png"

# Side pictures, 164 x 640: a navy band with the wizard's name, the theme's
# pictogram in a ringed disc, the title, a line on the page and the splash's
# waves at the foot.
side_w=164
side_h=640
# The sea at the foot: its top edge.
sea=$((side_h - 130))
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
emblem "$tmp/emblem.png"
emblem "$tmp/emblem_light.png" "#FFFFFF" "$navy" "$teal"

# side OUT TITLE LINE PICTOGRAM: PICTOGRAM "emblem" shows the emblem itself.
side() {
  local out="$1" title="$2" line="$3" glyph="$4"
  local picture
  if [ "$glyph" = emblem ]; then
    picture=(\( "$tmp/emblem.png" -resize 124x124 \) -geometry +20+80 -composite)
  else
    # The pictogram drawn large in a ringed disc (the 36 x 36 grid scaled by 2.6).
    picture=(-fill "#FFFFFF" -stroke "$teal" -strokewidth 5 -draw "circle 82,142 82,82"
      -draw "$(glyph_draw "$glyph" "$navy" "$mist" "$teal" 2.6 35.2 95.2)")
  fi
  convert -size "${side_w}x${side_h}" gradient:"$paper"-"$mist" \
    -fill "$navy" -stroke none -draw "rectangle 0,0 $side_w,46" \
    \( "$tmp/emblem_light.png" -resize 30x30 \) -geometry +10+8 -composite \
    -font "$serif_bold" -pointsize 15 -fill "#FFFFFF" -annotate +46+22 "Tidewright" \
    -font "$sans" -pointsize 10 -fill "$mist" -annotate +47+37 "Content Wizard" \
    "${picture[@]}" -stroke none \
    \( -size 144x60 -background none -font "$serif_bold" -pointsize 19 -fill "$navy" -gravity center \
       caption:"$title" \) -gravity north -geometry +0+216 -composite \
    \( -size 140x70 -background none -font "$sans" -pointsize 12 -fill "$ink" -gravity north \
       caption:"$line" \) -gravity north -geometry +0+282 -composite \
    -gravity northwest \
    \( -size "${side_w}x130" gradient:"$sky"-"$deep" \) -geometry +0+$sea -composite \
    -fill "$mist" -stroke none \
    -draw "path 'M 0,$sea C 30,$((sea - 10)) 52,$((sea + 10)) 82,$sea C 112,$((sea - 10)) 134,$((sea + 10)) 164,$sea L 164,$((sea - 6)) L 0,$((sea - 6)) Z'" \
    -fill none -stroke "#FFFFFF" -strokewidth 2 \
    -draw "path 'M 0,$((sea + 34)) C 30,$((sea + 24)) 52,$((sea + 44)) 82,$((sea + 34)) C 112,$((sea + 24)) 134,$((sea + 44)) 164,$((sea + 34))'" \
    -stroke "$mist" -strokewidth 1.5 \
    -draw "path 'M 0,$((sea + 66)) C 30,$((sea + 58)) 52,$((sea + 74)) 82,$((sea + 66)) C 112,$((sea + 58)) 134,$((sea + 74)) 164,$((sea + 66))'" \
    -stroke "$sky" -strokewidth 1 \
    -draw "path 'M 0,$((sea + 96)) C 30,$((sea + 89)) 52,$((sea + 103)) 82,$((sea + 96)) C 112,$((sea + 89)) 134,$((sea + 103)) 164,$((sea + 96))'" \
    -fill none -stroke "$rim" -strokewidth 1 -draw "line $((side_w - 1)),0 $((side_w - 1)),$side_h" \
    "${png_rgb[@]}" "PNG24:$out"
}

side "$res/WizardPage-LeftCol.png" "Content Wizard" "Tell us what you need at sea; we suggest the content" emblem

pages=(
  "wiz_GRIB-Weather|GribWeather|GRIB Weather|Wind, pressure, rain and waves as gridded forecasts"
  "wiz_Weather-Charts|WeatherCharts|Weather Charts|Surface analyses, forecasts and wave charts"
  "wiz_Text-Weather|TextForecast|Text Forecasts|Coastal, offshore and high-seas bulletins"
  "wiz_Satellite-Imagery|SatelliteImagery|Satellite Imagery|Cloud pictures and the radar near you"
  "wiz_Buoy|Buoys|Buoy Reports|Reports of the buoys you pick on the map"
  "wiz_Ocean_Data|SurfaceCurrents|Ocean Data|Currents, sea temperature and ice"
  "wiz_Fishing_Data|GribFishing|Fishing Data|Sea temperature, chlorophyll and fish reports"
  "wiz_Content-Preferences|Preferences|Content Preferences|Models, providers and file choices"
  "wiz_Home-Location|Home|Home Location|Where you sail and how far around it"
  "wiz_GPS|GPS|GPS Setup|Your receiver's port and speed"
  "wiz_Account-Settings|Gateway|Account Settings|Your service account and connection"
)
for entry in "${pages[@]}"; do
  IFS='|' read -r file glyph title line <<<"$entry"
  side "$res/$file.png" "$title" "$line" "$glyph"
done

# Processing notice: emblem, words and a row of progress marks.
convert -size 262x61 xc:none \
  -fill "$paper" -stroke "$rim" -strokewidth 1 -draw "roundrectangle 0.5,0.5 261.5,60.5 8,8" \
  \( "$tmp/emblem.png" -resize 45x45 \) -geometry +8+8 -composite \
  -font "$serif_bold" -pointsize 17 -fill "$navy" -stroke none -annotate +62+26 "Processing..." \
  -font "$sans" -pointsize 10 -fill "$ink" -annotate +63+41 "Building your suggested content" \
  -fill "$teal" -draw "roundrectangle 63,47 93,51 2,2" -draw "roundrectangle 97,47 127,51 2,2" \
  -fill "$sky" -draw "roundrectangle 131,47 161,51 2,2" -draw "roundrectangle 165,47 195,51 2,2" \
  -draw "roundrectangle 199,47 229,51 2,2" \
  "${png_out[@]}" "PNG32:$res/wiz_processing.png"

echo "wrote the content wizard's pictures into res/"
