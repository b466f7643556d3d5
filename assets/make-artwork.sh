#!/usr/bin/env bash
# Draws the main window's background tile (bj10.bmp) and the logo (logo.png) with ImageMagick.
# The results are committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"

# A pale green tile with a faint diamond, seamless in both directions.
convert -size 96x96 xc:'#e9f0ea' \
    -fill '#e1eae3' -draw 'polygon 48,6 90,48 48,90 6,48' \
    -fill '#e9f0ea' -draw 'polygon 48,18 78,48 48,78 18,48' \
    -fill '#dbe6de' -draw 'circle 48,48 48,43' \
    -fill '#dfe8e1' -draw 'circle 0,0 0,4' -draw 'circle 96,0 96,4' -draw 'circle 0,96 0,100' -draw 'circle 96,96 96,100' \
    -type TrueColor BMP3:bj10.bmp

# The shop's name on a rounded green plate, hanging from the top edge.
convert -size 420x76 xc:none \
    -fill '#1f6b47' -draw 'roundrectangle 0,-20 419,75 18,18' \
    -fill '#2f8a5e' -draw 'roundrectangle 6,-20 413,69 14,14' \
    -font Noto-Sans-CJK-SC-Bold -pointsize 30 -fill white -gravity center -annotate +0-8 '翠湖超市收银系统' \
    -font Noto-Sans-CJK-SC -pointsize 13 -fill '#d8efe2' -gravity center -annotate +0+22 '翠湖软件  ·  单机版 V1.0' \
    logo.png
