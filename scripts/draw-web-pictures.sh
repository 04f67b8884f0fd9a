#!/usr/bin/env bash
# Draws the three pictures the web-page export puts beside its pages (run once by hand;
# the results are kept in resources/): a light paper texture for the page background, a
# person before each name and a folder before each group, both 20 x 17 pixels.
# Needs ImageMagick's convert.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources" && pwd)"

# Paper: blurred noise (tiled at the edges, so the tile repeats without a seam), lifted
# to the light end and tinted cream.
convert -size 128x128 xc: -seed 7 +noise Random -channel G -separate +channel \
  -virtual-pixel tile -blur 0x1.2 -auto-level +level 90%,100% -colorspace sRGB -type TrueColor \
  \( -size 128x128 xc:'#fdf8ea' \) -compose multiply -composite \
  -type TrueColor -quality 88 -strip "$out/wall.jpg"

convert -size 20x17 xc:none -stroke '#1f3f73' -strokewidth 1 \
  -fill '#4a7fc1' -draw 'circle 10,5 10,2' \
  -fill '#4a7fc1' -draw 'roundrectangle 4,9 16,16 3,3' \
  -strip "$out/name.gif"

convert -size 20x17 xc:none -stroke '#8a6412' -strokewidth 1 \
  -fill '#e8b84a' -draw 'polygon 1,3 7,3 9,5 18,5 18,15 1,15' \
  -fill '#f5d27a' -draw 'polygon 1,7 18,7 18,15 1,15' \
  -strip "$out/group.gif"
