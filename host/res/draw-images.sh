#!/usr/bin/env bash
# Redraws the program's images with ImageMagick. The PNGs it writes are kept
# in the repository; run this only after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
grey='rgb(192,192,192)'   # toolbar background, made transparent when loaded

# Toolbar images, 16 x 15.
convert -size 16x15 xc:"$grey" -stroke black -fill white \
  -draw 'polygon 3,1 9,1 12,4 12,13 3,13' -fill none -draw 'polyline 9,1 9,4 12,4' \
  -type TrueColor PNG24:tool_new.png
convert -size 16x15 xc:"$grey" -stroke black -fill 'rgb(255,255,128)' \
  -draw 'polygon 1,3 5,3 6,4 11,4 11,6 1,6' -draw 'polygon 1,13 1,6 4,6 4,6 15,6 12,13' \
  -type TrueColor PNG24:tool_open.png
floppy=(-stroke black -fill 'rgb(0,64,160)' -draw 'rectangle 1,1 13,13'
        -stroke none -fill white -draw 'rectangle 3,2 11,6'
        -fill 'rgb(160,160,160)' -draw 'rectangle 4,9 10,13' -fill black -draw 'rectangle 8,10 9,12')
convert -size 16x15 xc:"$grey" "${floppy[@]}" -type TrueColor PNG24:tool_save.png
convert -size 16x15 xc:"$grey" "${floppy[@]}" \
  -stroke black -fill 'rgb(255,200,0)' -draw 'polygon 9,12 14,7 15,8 10,13' \
  -stroke none -fill black -draw 'point 9,13' \
  -type TrueColor PNG24:tool_saveas.png

# Program icon: a blue tile with a white "Z".
for size in 16 32 48 256; do
  radius=$((size / 6)); edge=$((size - 1))
  convert -size ${size}x${size} xc:none -fill 'rgb(0,84,166)' \
    -draw "roundrectangle 0,0 $edge,$edge $radius,$radius" \
    -fill white -font "$font" -pointsize $((size * 3 / 4)) -gravity center -annotate +0+0 Z \
    PNG32:orvane_${size}.png
done

# Badge inviting the user to get the player, 88 x 31.
convert -size 88x31 xc:'rgb(37,42,60)' -fill 'rgb(255,173,51)' -draw 'roundrectangle 3,4 26,26 4,4' \
  -fill 'rgb(37,42,60)' -draw 'polygon 11,9 11,21 20,15' \
  -fill white -font "$font" -pointsize 9 -annotate +31+13 'Get' \
  -fill 'rgb(255,173,51)' -pointsize 11 -annotate +31+26 'Ruffle' \
  -type TrueColor PNG24:get_player_badge.png
