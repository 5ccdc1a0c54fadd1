# Shared drawing helpers of the picture scripts (sourced, not run): the
# palette, the fonts, the emblem, the pictograms and the faces built from them.
# Needs ImageMagick 6 (`convert`) and the DejaVu fonts.
#
# Pictograms are MVG drawings on a 36 x 36 grid (the size of a tool button)
# in which three colour words stand for the colours of the face they are drawn
# on: GLYPH (the strokes), FILL (inner areas) and ACCENT (a second colour for
# small details). `glyph_mvg NAME GLYPH FILL ACCENT` prints the drawing with the
# colours put in; `glyph_draw NAME GLYPH FILL ACCENT SCALE X Y` wraps it so
# that the 36 x 36 grid is scaled by SCALE and its origin moved to X,Y.

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
res="$top/res"
icons="$top/Icons"
mkdir -p "$res" "$icons"

fonts=/usr/share/fonts/truetype/dejavu
serif_bold="$fonts/DejaVuSerif-Bold.ttf"
sans="$fonts/DejaVuSans.ttf"
sans_bold="$fonts/DejaVuSans-Bold.ttf"
cond_bold="$fonts/DejaVuSansCondensed-Bold.ttf"

# Palette of the splash picture and the transfer window.
navy="#1F3B57"
teal="#2E7D8C"
paper="#F5F7F9"
mist="#DCEBF2"
sky="#BFD9E6"
deep="#2E6F8E"
rim="#8A9AAA"
ink="#4A5A6A"
amber="#F2B134"
brick="#C8553D"
leaf="#3C8D5A"

# Options of every PNG written: an alpha channel (never flattened or
# palette-reduced, so antialiased edges stay smooth over any background) and
# no time stamps (a picture drawn again is the same file). Use as
#   convert ... "${png_out[@]}" "PNG32:$out"
png_out=(-define png:color-type=6 -define png:exclude-chunks=date,time)
# The same for an opaque picture: convert ... "${png_rgb[@]}" "PNG24:$out"
png_rgb=(-define png:color-type=2 -define png:exclude-chunks=date,time)

# ---------------------------------------------------------------- emblem

# The splash's ring with a flag over a wave, drawn at 96 px; scale it down.
# emblem OUT [RING-COLOUR] [DISC-COLOUR] [WAVE-COLOUR]
emblem() {
  local out="$1" ring="${2:-$navy}" disc="${3:-#FFFFFF}" wave="${4:-$teal}"
  convert -size 96x96 xc:none \
    -fill "$disc" -stroke "$ring" -strokewidth 6 -draw "circle 48,48 48,6" \
    -fill "$wave" -stroke none \
    -draw "path 'M 12,58 C 24,46 34,46 44,58 C 54,70 66,70 78,58 C 81,55 84,54 86,54 L 84,72 C 66,92 28,92 14,72 Z'" \
    -fill none -stroke "$ring" -strokewidth 5 -draw "line 48,14 48,58" \
    -fill "$ring" -stroke none -draw "polygon 48,10 41,26 55,26" -draw "polygon 50,20 74,34 50,48" \
    "$out"
}

# ---------------------------------------------------------------- pictograms

glyph_source() {
  case "$1" in
  GribWeather) # a wind barb: staff, pennant, a full and a half barb, station ring
    cat <<'M'
stroke GLYPH stroke-width 2.6 stroke-linecap round fill none
line 12,29 12,8
line 12,16 25,11.5
line 12,21.5 19,19
stroke none fill GLYPH
polygon 11,6.8 26.5,6.8 11,13
stroke GLYPH stroke-width 2 fill FILL
circle 12,29 12,26.2
M
    ;;
  WeatherCharts) # a chart sheet with isobars round a low and a cold front
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
roundrectangle 6,7 30,29 2,2
fill none stroke-width 1.5
ellipse 16,18 6.5,5 0,360
path 'M 8.5,11 C 12,9.5 20,9.5 24.5,12 C 28,14 28,22 24.5,24.5 C 21,27 11,27 8.5,25'
stroke none fill GLYPH
font-size 9 font SANS_BOLD text-anchor middle
text 16,21.3 'L'
M
    ;;
  TextForecast) # a page of text with a folded corner
    cat <<'M'
stroke GLYPH stroke-width 2 stroke-linejoin round fill FILL
polygon 9,6 22,6 28,12 28,30 9,30
fill none
polyline 22,6 22,12 28,12
stroke-width 2 stroke-linecap round
line 13,16 24,16
line 13,20.5 24,20.5
line 13,25 20,25
M
    ;;
  SatelliteImagery) # a satellite with two panels and its dish
    cat <<'M'
stroke GLYPH stroke-width 1.5 fill FILL
rectangle 3.5,11.5 12,20.5
rectangle 24,11.5 32.5,20.5
line 7.75,11.5 7.75,20.5
line 28.25,11.5 28.25,20.5
line 12,16 24,16
stroke none fill GLYPH
roundrectangle 13.5,9.5 22.5,22.5 1.5,1.5
stroke GLYPH stroke-width 1.8 fill none
line 18,22.5 18,26
path 'M 12.5,26 A 5.5,3.5 0 0 0 23.5,26 Z'
stroke GLYPH stroke-width 1.6 fill none stroke-linecap round
path 'M 14,6.5 A 5,5 0 0 1 22,6.5'
path 'M 11,4 A 9,9 0 0 1 25,4'
M
    ;;
  Buoys) # a buoy with its light, riding a wave
    cat <<'M'
stroke none fill GLYPH
polygon 12,23 24,23 21.5,12 14.5,12
fill FILL
rectangle 13.7,16 22.3,18.6
stroke GLYPH stroke-width 2 fill none
line 18,12 18,7.5
stroke GLYPH stroke-width 1.4 fill ACCENT
circle 18,6 18,3.8
stroke GLYPH stroke-width 2.2 fill none stroke-linecap round
path 'M 5,27 C 8,24 11,24 14,27 C 17,30 19,30 22,27 C 25,24 28,24 31,27'
M
    ;;
  SurfaceCurrents) # three flow lines with arrow heads
    cat <<'M'
stroke GLYPH stroke-width 2.2 fill none stroke-linecap round
path 'M 5,11 C 9,7.5 13,7.5 16,10 C 19,12.5 22,12.5 25,10.5'
path 'M 5,19 C 9,15.5 13,15.5 16,18 C 19,20.5 22,20.5 25,18.5'
path 'M 5,27 C 9,23.5 13,23.5 16,26 C 19,28.5 22,28.5 25,26.5'
stroke none fill GLYPH
polygon 23.5,6.5 31,9.5 25.5,14.5
polygon 23.5,14.5 31,17.5 25.5,22.5
polygon 23.5,22.5 31,25.5 25.5,30.5
M
    ;;
  GribFishing) # a fish
    cat <<'M'
stroke none fill GLYPH
path 'M 5,18 C 9,10 20,9 26,18 C 20,27 9,26 5,18 Z'
polygon 24,18 32,11 30,18 32,25
fill FILL
circle 10.5,16.5 10.5,15
stroke FILL stroke-width 1.4 fill none
path 'M 15,13 C 17,16 17,20 15,23'
M
    ;;
  Preferences) # a check list
    cat <<'M'
stroke GLYPH stroke-width 1.4 fill FILL
rectangle 5.5,6 14,14.5
rectangle 5.5,21.5 14,30
stroke GLYPH stroke-width 2.2 fill none stroke-linecap round stroke-linejoin round
path 'M 7.5,10 L 9.5,12.3 L 12.5,8'
path 'M 7.5,25.5 L 9.5,27.8 L 12.5,23.5'
stroke-width 2.4
line 18,10.25 30.5,10.25
line 18,25.75 30.5,25.75
stroke-width 1.4
line 7,18 30.5,18
M
    ;;
  Home) # a house with a door
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
rectangle 10,17 26,29
stroke none fill GLYPH
polygon 5.5,18.5 18,6.5 30.5,18.5 27.5,18.5 18,9.5 8.5,18.5
rectangle 16,21 20.5,29
rectangle 23,8 26,13
M
    ;;
  GPS) # a location pin on its ground ring, a satellite's arcs above
    cat <<'M'
stroke GLYPH stroke-width 1.6 fill none
ellipse 16,29.5 7,2.2 0,360
stroke none fill GLYPH
path 'M 16,29 C 12,23 9,20 9,15.5 A 7,7 0 1 1 23,15.5 C 23,20 20,23 16,29 Z'
fill FILL
circle 16,15.5 16,12.5
stroke GLYPH stroke-width 1.8 fill none stroke-linecap round
path 'M 24,6 A 6,6 0 0 1 30,12'
path 'M 25,2.5 A 9.5,9.5 0 0 1 33.5,11'
M
    ;;
  Gateway) # the account: a person
    cat <<'M'
stroke none fill GLYPH
circle 18,12.5 18,6.5
path 'M 7,30 C 7,21 11,19.5 18,19.5 C 25,19.5 29,21 29,30 Z'
M
    ;;
  BuoyWeather) # a cloud over a position pin: weather at one spot
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
path 'M 9,18 C 5,18 5,12 9.5,12 C 10,7 17,6 19,10 C 21,7 27,8 26.5,12.5 C 31,12.5 31,18 27,18 Z'
stroke none fill GLYPH
path 'M 18,31 C 15.5,27 14,25.5 14,23.5 A 4,4 0 1 1 22,23.5 C 22,25.5 20.5,27 18,31 Z'
fill FILL
circle 18,23.5 18,22
M
    ;;
  Radar) # radar rings and a sweep
    cat <<'M'
stroke GLYPH stroke-width 1.6 fill none
circle 18,18 18,6
circle 18,18 18,12
line 18,5 18,31
line 5,18 31,18
stroke none fill GLYPH
path 'M 18,18 L 18,6 A 12,12 0 0 1 28.4,12 Z'
fill ACCENT
circle 24,22 24,20.4
circle 12,12 12,10.6
M
    ;;
  Ice) # an ice crystal
    cat <<'M'
stroke GLYPH stroke-width 2.2 fill none stroke-linecap round
line 18,5 18,31
line 6.7,11.5 29.3,24.5
line 6.7,24.5 29.3,11.5
polyline 14.5,7 18,10.5 21.5,7
polyline 14.5,29 18,25.5 21.5,29
polyline 7.5,16 11,13.5 9.8,9.3
polyline 28.5,20 25,22.5 26.2,26.7
polyline 7.5,20 11,22.5 9.8,26.7
polyline 28.5,16 25,13.5 26.2,9.3
M
    ;;
  Terrafin) # a fish hook on its line, a wave below
    cat <<'M'
stroke GLYPH stroke-width 1.4 fill none
line 20,1.5 20,6.5
stroke GLYPH stroke-width 2.6 fill none stroke-linecap round
path 'M 20,10.5 L 20,20.5 C 20,29 8,29 8,20.5 L 8,16'
stroke none fill GLYPH
polygon 6.3,17 8,12 9.7,17
stroke GLYPH stroke-width 1.8 fill none
circle 20,8.5 20,6.7
stroke GLYPH stroke-width 2 fill none stroke-linecap round
path 'M 21,30 C 23,27.5 25.5,27.5 27.5,30 C 29.5,32.5 32,32.5 33,30'
M
    ;;
  DalenMorrow) # sun behind a cloud: a forecast
    cat <<'M'
stroke GLYPH stroke-width 2 fill none stroke-linecap round
line 13,3.5 13,6
line 4,12.5 6.5,12.5
line 6.6,6.1 8.4,7.9
line 19.4,6.1 17.6,7.9
line 6.6,18.9 8.4,17.1
stroke GLYPH stroke-width 2 fill ACCENT
circle 13,12.5 13,7.5
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
path 'M 11,29 C 6,29 6,22 11,22 C 11.5,16.5 19.5,15.5 21.5,20 C 24,16.5 31,18 30,23 C 33.5,23.5 33,29 29,29 Z'
M
    ;;
  MarisolVenet) # a meandering stream with its eddies
    cat <<'M'
stroke GLYPH stroke-width 3.6 fill none stroke-linecap round
path 'M 4.5,29 C 14,29 8,15 17,15 C 22,15 21,9 25,9'
stroke none fill GLYPH
polygon 24,3.5 32,9 24,14.5
stroke GLYPH stroke-width 1.8 fill FILL
circle 26,24 26,20.5
circle 8.5,10 8.5,7
M
    ;;
  DataManage) # a database drum
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL
path 'M 8,10 L 8,26 A 10,3.5 0 0 0 28,26 L 28,10 Z'
ellipse 18,10 10,3.5 0,360
fill none stroke-width 1.8
path 'M 8,15.5 A 10,3.5 0 0 0 28,15.5'
path 'M 8,21 A 10,3.5 0 0 0 28,21'
M
    ;;
  Help) # a question mark in a ring (as the transfer window's help)
    cat <<'M'
stroke GLYPH stroke-width 2 fill none
circle 18,18 18,6
stroke none fill GLYPH
font SANS_BOLD font-size 16 text-anchor middle
text 18,24 '?'
M
    ;;
  Library) # books on a shelf
    cat <<'M'
stroke GLYPH stroke-width 1.8 fill FILL
rectangle 7,9 12,28
rectangle 13,6 18,28
push graphic-context
translate 24,28 rotate 14
rectangle -3,-20 2.5,0
pop graphic-context
stroke none fill GLYPH
rectangle 7.9,12 11.1,13.6
rectangle 13.9,9.5 17.1,11.1
stroke GLYPH stroke-width 2.4 stroke-linecap round
line 5,30 31,30
M
    ;;
  Update) # two arrows turning round: reload the list
    cat <<'M'
stroke GLYPH stroke-width 2.6 fill none
path 'M 8.9,16.4 A 9,9 0 0 1 25.8,13.5'
path 'M 27.1,19.6 A 9,9 0 0 1 10.2,22.5'
stroke none fill GLYPH
polygon 29.6,11.3 22.2,15.6 28.2,17.6
polygon 6.4,24.7 13.8,20.4 7.8,18.4
M
    ;;
  Portal) # a globe
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL
circle 18,18 18,6
fill none stroke-width 1.6
ellipse 18,18 5,12 0,360
line 6,18 30,18
path 'M 8,12 C 14,14 22,14 28,12'
path 'M 8,24 C 14,22 22,22 28,24'
M
    ;;
  Basic) # a block of four buttons
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL
roundrectangle 7,7 16.5,16.5 2,2
roundrectangle 19.5,7 29,16.5 2,2
roundrectangle 7,19.5 16.5,29 2,2
stroke none fill GLYPH
roundrectangle 19.5,19.5 29,29 2,2
M
    ;;
  Wizard) # a magic wand with sparkles
    cat <<'M'
stroke GLYPH stroke-width 3.6 fill none stroke-linecap round
line 8,29 21,16
stroke GLYPH stroke-width 1.6 fill ACCENT stroke-linejoin round
polygon 24,5 25.6,10 30.5,11.5 25.6,13.2 24,18 22.4,13.2 17.5,11.5 22.4,10
stroke none fill GLYPH
polygon 10,7 10.8,9.2 13,10 10.8,10.8 10,13 9.2,10.8 7,10 9.2,9.2
polygon 28,21 28.7,23.3 31,24 28.7,24.7 28,27 27.3,24.7 25,24 27.3,23.3
M
    ;;
  Search) # a magnifying glass
    cat <<'M'
stroke GLYPH stroke-width 3 fill FILL
circle 15,15 15,7.5
stroke GLYPH stroke-width 4.5 fill none stroke-linecap round
line 21,21 28.5,28.5
M
    ;;
  InstallBatches) # a folder with a plus: add the sample batches
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
polygon 5,9 13,9 15.5,12 31,12 31,28 5,28
stroke GLYPH stroke-width 2.8 fill none stroke-linecap butt
line 18,15.5 18,25
line 13.25,20.25 22.75,20.25
M
    ;;
  Download) # a cloud with an arrow coming down from it
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL stroke-linejoin round
path 'M 10,21 C 4.5,21 4.5,13.5 10,13.5 C 10.5,7.5 19.5,6 22,11 C 25,7.5 32,9.5 31,15 C 34,16 33,21 29,21 Z'
stroke none fill GLYPH
polygon 16,16 20,16 20,24 24,24 18,31 12,24 16,24
M
    ;;
  ZoomIn) # a plus
    cat <<'M'
stroke GLYPH stroke-width 4.5 fill none
line 18,9 18,27
line 9,18 27,18
M
    ;;
  ZoomOut) # a minus
    cat <<'M'
stroke GLYPH stroke-width 4.5 fill none
line 9,18 27,18
M
    ;;
  Recenter) # a target on the home position
    cat <<'M'
stroke GLYPH stroke-width 2.2 fill none
circle 18,18 18,8
stroke-linecap round
line 18,4 18,10
line 18,26 18,32
line 4,18 10,18
line 26,18 32,18
stroke none fill GLYPH
circle 18,18 18,14.5
M
    ;;
  ChangeMap) # a globe with a turning arrow
    cat <<'M'
stroke GLYPH stroke-width 1.8 fill FILL
circle 18,18 18,9
fill none stroke-width 1.4
ellipse 18,18 3.8,9 0,360
line 9,18 27,18
stroke GLYPH stroke-width 2.2 fill none
path 'M 4.5,14 A 14,14 0 0 1 29,8'
stroke none fill GLYPH
polygon 26.5,3.5 32.5,10 24.5,11
M
    ;;
  Crosshair) # the map pointer
    cat <<'M'
stroke GLYPH stroke-width 2 fill none
circle 18,18 18,9
line 18,4 18,13
line 18,23 18,32
line 4,18 13,18
line 23,18 32,18
M
    ;;
  View) # an eye
    cat <<'M'
stroke GLYPH stroke-width 2 fill FILL
path 'M 4,18 C 10,9 26,9 32,18 C 26,27 10,27 4,18 Z'
stroke none fill GLYPH
circle 18,18 18,12.5
fill FILL
circle 16,16 16,14.2
M
    ;;
  *)
    echo "no pictogram named $1" >&2
    return 1
    ;;
  esac
}

# glyph_mvg NAME GLYPH FILL ACCENT: the drawing with its colours.
glyph_mvg() {
  local src
  src="$(glyph_source "$1")" || return 1
  src="${src//SANS_BOLD/\'$sans_bold\'}"
  src="${src//GLYPH/\'$2\'}"
  src="${src//FILL/\'$3\'}"
  src="${src//ACCENT/\'$4\'}"
  printf '%s\n' "$src"
}

# glyph_draw NAME GLYPH FILL ACCENT SCALE X Y: one -draw argument.
glyph_draw() {
  local body
  body="$(glyph_mvg "$1" "$2" "$3" "$4")" || return 1
  # Round joins throughout: ImageMagick 6 strokes an open curved path with a
  # closing chord when the join is mitred.
  printf 'push graphic-context\ntranslate %s,%s\nscale %s,%s\nstroke-linejoin round\n%s\npop graphic-context\n' "$6" "$7" "$5" "$5" "$body"
}

# ---------------------------------------------------------------- tool faces

# The three faces of a 36 x 36 tool button, in the style of the transfer
# window's tools: a rounded tile with a pictogram.
#   normal   light tile, grey rim, navy pictogram
#   _select  the pressed or chosen face: mist tile in a teal ring, the
#            pictogram pressed down by one pixel
#   _over    the hover face: teal tile, white pictogram
# tool_face VARIANT GLYPH-NAME OUT [SIZE]
tool_face() {
  local variant="$1" name="$2" out="$3" size="${4:-36}"
  local s e scale shift=0
  scale="$(awk -v n="$size" 'BEGIN { printf "%.4f", n / 36 }')"
  s=1.5
  e="$(awk -v n="$size" 'BEGIN { print n - 1.5 }')"
  local r=7
  [ "$size" -lt 30 ] && r=5
  local tile glyph
  case "$variant" in
  normal)
    tile=(-fill "$paper" -stroke "$rim" -strokewidth 1 -draw "roundrectangle $s,$s $e,$e $r,$r")
    glyph="$(glyph_draw "$name" "$navy" "$mist" "$teal" "$scale" 0 0)"
    ;;
  select)
    local s2 e2
    s2="$(awk -v a="$s" 'BEGIN { print a + 1 }')"
    e2="$(awk -v a="$e" 'BEGIN { print a - 1 }')"
    tile=(-fill "$mist" -stroke "$teal" -strokewidth 2.6 -draw "roundrectangle $s2,$s2 $e2,$e2 $r,$r")
    shift=1
    glyph="$(glyph_draw "$name" "$navy" "#FFFFFF" "$teal" "$scale" 0 "$shift")"
    ;;
  over)
    tile=(-fill "$teal" -stroke "$navy" -strokewidth 1 -draw "roundrectangle $s,$s $e,$e $r,$r")
    glyph="$(glyph_draw "$name" "#FFFFFF" "$teal" "$amber" "$scale" 0 0)"
    ;;
  *)
    echo "unknown face $variant" >&2
    return 1
    ;;
  esac
  # The pictogram is drawn inset so that it keeps clear of the tile's rim.
  convert -size "${size}x${size}" xc:none "${tile[@]}" \
    -draw "push graphic-context translate $(awk -v n="$size" 'BEGIN { print n * 0.06 }'),$(awk -v n="$size" 'BEGIN { print n * 0.06 }') scale 0.88,0.88 $glyph pop graphic-context" \
    "${png_out[@]}" "PNG32:$out"
}

# tool_faces STEM GLYPH-NAME [VARIANTS...]: res/STEM.png and the variants'
# files res/STEM_select.png, res/STEM_over.png (all three when none given).
tool_faces() {
  local stem="$1" name="$2"
  shift 2
  local variants=("$@")
  [ ${#variants[@]} -gt 0 ] || variants=(normal select over)
  local v
  for v in "${variants[@]}"; do
    case "$v" in
    normal) tool_face normal "$name" "$res/$stem.png" ;;
    select) tool_face select "$name" "$res/${stem}_select.png" ;;
    over) tool_face over "$name" "$res/${stem}_over.png" ;;
    esac
  done
}

# ---------------------------------------------------------------- wide buttons

# A labelled button of any size: rounded face, an optional pictogram at the
# left, the label centred in the rest.
#   plain    light face, navy label (hover: teal face, white label)
#   primary  teal face, white label (hover: navy face, white label)
# wide_button OUT WIDTH HEIGHT KIND HOVER(0|1) LABEL [GLYPH-NAME] [POINTSIZE]
wide_button() {
  local out="$1" w="$2" h="$3" kind="$4" hover="$5" label="$6" glyph="${7:-}" pt="${8:-}"
  local face edge text gcol gfill gacc
  if [ "$kind" = primary ]; then
    if [ "$hover" = 1 ]; then face="$navy"; edge="$navy"; else face="$teal"; edge="$navy"; fi
    text="#FFFFFF"; gcol="#FFFFFF"; gfill="$face"; gacc="$amber"
  else
    if [ "$hover" = 1 ]; then
      face="$teal"; edge="$navy"; text="#FFFFFF"; gcol="#FFFFFF"; gfill="$teal"; gacc="$amber"
    else
      face="$paper"; edge="$rim"; text="$navy"; gcol="$navy"; gfill="$mist"; gacc="$teal"
    fi
  fi
  local r=6
  [ "$h" -lt 28 ] && r=4
  [ -n "$pt" ] || pt="$(awk -v h="$h" 'BEGIN { p = int(h * 0.45); if (p > 17) p = 17; if (p < 9) p = 9; print p }')"
  local font="$sans_bold"
  [ "$h" -lt 28 ] && font="$cond_bold"
  local args=(-size "${w}x${h}" xc:none
    -fill "$face" -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 $r,$r")
  # A faint highlight along the top edge gives the face some depth.
  if [ "$kind" != primary ] && [ "$hover" != 1 ]; then
    args+=(-stroke "#FFFFFF" -strokewidth 1 -draw "line $((r)),1.5 $((w - r - 1)),1.5")
  fi
  local textx=0 textw="$w"
  if [ -n "$glyph" ]; then
    local gs gsize gy
    gsize=$((h - 8))
    [ "$gsize" -gt 30 ] && gsize=30
    gs="$(awk -v n="$gsize" 'BEGIN { printf "%.4f", n / 36 }')"
    gy=$(((h - gsize) / 2))
    args+=(-draw "$(glyph_draw "$glyph" "$gcol" "$gfill" "$gacc" "$gs" 6 "$gy")")
    textx=$((gsize + 6))
    textw=$((w - textx))
  fi
  args+=(\( -size "$((textw - 4))x$h" xc:none -font "$font" -pointsize "$pt" -fill "$text" -stroke none -gravity center
    -annotate +0+0 "$label" \) -gravity northwest -geometry "+$((textx + 2))+0" -composite)
  convert "${args[@]}" "${png_out[@]}" "PNG32:$out"
}

# wide_pair STEM-OUT HOVER-OUT WIDTH HEIGHT KIND LABEL [GLYPH] [POINTSIZE]
wide_pair() {
  wide_button "$1" "$3" "$4" "$5" 0 "$6" "${7:-}" "${8:-}"
  wide_button "$2" "$3" "$4" "$5" 1 "$6" "${7:-}" "${8:-}"
}

# glyph_button OUT SIZE-W SIZE-H KIND HOVER GLYPH: a small button that shows
# only a pictogram (zoom, update).
glyph_button() {
  local out="$1" w="$2" h="$3" kind="$4" hover="$5" glyph="$6"
  local face edge gcol gfill
  if [ "$hover" = 1 ]; then face="$teal"; edge="$navy"; gcol="#FFFFFF"; gfill="$teal"
  else face="$paper"; edge="$rim"; gcol="$navy"; gfill="$mist"; fi
  [ "$kind" = plain ] || true
  local side=$((w < h ? w : h))
  local gsize=$((side - 4))
  local gs
  gs="$(awk -v n="$gsize" 'BEGIN { printf "%.4f", n / 36 }')"
  convert -size "${w}x${h}" xc:none \
    -fill "$face" -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 4,4" \
    -draw "$(glyph_draw "$glyph" "$gcol" "$gfill" "$teal" "$gs" $(((w - gsize) / 2)) $(((h - gsize) / 2)))" \
    "${png_out[@]}" "PNG32:$out"
}
