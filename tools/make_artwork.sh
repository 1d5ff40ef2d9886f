#!/bin/sh
# Draws the program's artwork with ImageMagick (and rsvg-convert for the icons)
# and writes it to data/artwork/ and data/icons/:
#   about.jpg      picture of the about box, 495 x 263, baseline colour JPEG
#   wallpaper.bmp  background of the main window's client area, 600 x 400,
#                  24-bit uncompressed BMP that tiles seamlessly
#   icons          the menu icon, SVG and PNG sizes of the hicolor theme, and
#                  renomeia-zq.ico with those sizes for Windows
# Run from anywhere: tools/make_artwork.sh. The results are committed; the
# build only embeds them.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/data/artwork"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

sans=DejaVu-Sans
bold=DejaVu-Sans-Bold
mono=DejaVu-Sans-Mono

# ---------------------------------------------------------------- about box
# A file with an ordinary name gets the bank's standard name and is sent on
# to the bank.

# Title band.
convert -size 495x72 -define gradient:direction=east gradient:'#0e3470-#2f74c8' \
    -fill '#ffffff22' -stroke none -draw "circle 455,10 520,60" -draw "circle 400,80 440,110" \
    -fill white -font "$bold" -pointsize 27 -annotate +18+40 'Renomeia Arquivos ZQ' \
    -fill '#d8e6fa' -font "$sans" -pointsize 12 -annotate +20+60 'Transferidor 32bits  -  Cobrança' \
    "$tmp/band.png"

convert -size 495x263 xc:white \
    "$tmp/band.png" -geometry +0+0 -composite \
    \
    -stroke '#8093ad' -strokewidth 1.5 -fill white \
    -draw "polygon 40,96 86,96 102,112 102,172 40,172" \
    -fill '#e3eaf4' -draw "polygon 86,96 86,112 102,112" \
    -stroke '#9fb3cc' -strokewidth 2 \
    -draw "line 49,122 93,122" -draw "line 49,132 89,132" -draw "line 49,142 93,142" \
    -draw "line 49,152 80,152" -draw "line 49,162 90,162" \
    \
    -stroke '#1d5fae' -strokewidth 1.5 -fill white \
    -draw "polygon 196,96 242,96 258,112 258,172 196,172" \
    -fill '#dfe7f2' -draw "polygon 242,96 242,112 258,112" \
    -stroke none -fill '#2f9e44' -draw "rectangle 197,100 238,110" \
    -stroke '#6f9ad0' -strokewidth 2 \
    -draw "line 205,122 249,122" -draw "line 205,132 249,132" -draw "line 205,142 249,142" \
    -draw "line 205,152 249,152" -draw "line 205,162 249,162" \
    \
    -stroke none -fill '#f08c00' \
    -draw "polygon 114,130 162,130 162,122 180,136 162,150 162,142 114,142" \
    -draw "polygon 270,130 318,130 318,122 336,136 318,150 318,142 270,142" \
    \
    -fill '#1c4f94' -stroke none \
    -draw "polygon 352,112 408,86 464,112" \
    -fill white -draw "circle 408,102 408,108" \
    -fill '#1c4f94' -draw "rectangle 352,114 464,120" \
    -draw "rectangle 358,124 368,164" -draw "rectangle 382,124 392,164" \
    -draw "rectangle 424,124 434,164" -draw "rectangle 448,124 458,164" \
    -draw "rectangle 403,124 413,164" \
    -draw "rectangle 352,166 464,172" -draw "rectangle 346,174 470,180" \
    \
    -stroke none -fill '#33415c' -font "$mono" -pointsize 10 \
    -annotate +38+192 'arquivo.txt' \
    -annotate +190+192 'CB1401A.TXT' \
    -fill '#c05f00' -font "$sans" -pointsize 10 \
    -annotate +118+114 'renomeia' -annotate +283+114 'envia' \
    -fill '#33415c' -font "$bold" -pointsize 11 -annotate +390+196 'Banco' \
    \
    -stroke '#9fb3cc' -strokewidth 1 -draw "line 16,212 479,212" -stroke none \
    -fill '#33415c' -font "$sans" -pointsize 12 \
    -annotate +18+234 'Arquivos Remessa e Retorno' \
    -annotate +18+251 'com o nome padrão do banco' \
    -fill '#0e3470' -font "$bold" -pointsize 15 -annotate +360+243 'Versão 1.2.1' \
    \
    -alpha off -colorspace sRGB -type TrueColor -strip \
    -interlace none -sampling-factor 2x2,1x1,1x1 -quality 92 \
    "JPEG:$out/about.jpg"

# ---------------------------------------------------------------- wallpaper
# One 100 x 100 cell: a pale diamond lattice (period 50, so neighbouring cells
# join) with a faint sheet of paper in the middle. Odd rows are shifted by
# half a cell; the shift is cyclic, so the 600 x 400 picture tiles seamlessly.
lines=""
for k in -2 -1 0 1 2; do
    x=$((k * 50))
    lines="$lines -draw \"line $x,0 $((x + 100)),100\""
done
for k in 0 1 2 3 4; do
    x=$((k * 50))
    lines="$lines -draw \"line $x,0 $((x - 100)),100\""
done
eval convert -size 100x100 "xc:'#f5f8fc'" -stroke "'#e7edf5'" -strokewidth 1 $lines \
    -stroke "'#d9e2ee'" -fill "'#fbfcfe'" -draw "'polygon 39,35 55,35 62,42 62,65 39,65'" \
    -fill "'#e9eff7'" -draw "'polygon 55,35 55,42 62,42'" \
    -stroke "'#e1e8f1'" -draw "'line 43,48 58,48'" -draw "'line 43,53 58,53'" -draw "'line 43,58 54,58'" \
    "'$tmp/cell.png'"

convert "$tmp/cell.png" "$tmp/cell.png" "$tmp/cell.png" "$tmp/cell.png" "$tmp/cell.png" "$tmp/cell.png" \
    +append "$tmp/row.png"
convert "$tmp/row.png" -roll +50+0 "$tmp/row2.png"
convert "$tmp/row.png" "$tmp/row2.png" "$tmp/row.png" "$tmp/row2.png" -append \
    -alpha off -type TrueColor -compress None "BMP3:$out/wallpaper.bmp"

# ---------------------------------------------------------------- icons
# The menu icon: a ragged sheet becomes a sheet of lines of one length,
# drawn as SVG and rendered (rsvg-convert) to the PNG sizes of the hicolor
# theme under data/icons/.
id=br.com.renomeiazq.RenomeiaArquivosZQ
icons="$here/data/icons/hicolor"
mkdir -p "$icons/scalable/apps"
cat > "$icons/scalable/apps/$id.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <defs>
    <linearGradient id="fundo" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#2f74c8"/>
      <stop offset="1" stop-color="#0e3470"/>
    </linearGradient>
  </defs>
  <rect x="6" y="6" width="116" height="116" rx="24" fill="url(#fundo)"/>
  <path d="M16 26 H48 L58 36 V94 H16 Z" fill="#ffffff" stroke="#c7d3e3" stroke-width="1.5"/>
  <path d="M48 26 V36 H58 Z" fill="#dbe4f0"/>
  <g stroke="#8a9bb3" stroke-width="4" stroke-linecap="round">
    <line x1="23" y1="46" x2="49" y2="46"/>
    <line x1="23" y1="56" x2="40" y2="56"/>
    <line x1="23" y1="66" x2="51" y2="66"/>
    <line x1="23" y1="76" x2="34" y2="76"/>
    <line x1="23" y1="86" x2="45" y2="86"/>
  </g>
  <path d="M70 34 H102 L112 44 V102 H70 Z" fill="#ffffff" stroke="#c7d3e3" stroke-width="1.5"/>
  <path d="M102 34 V44 H112 Z" fill="#dbe4f0"/>
  <rect x="71" y="38" width="28" height="8" fill="#2f9e44"/>
  <g stroke="#2f74c8" stroke-width="4" stroke-linecap="round">
    <line x1="77" y1="56" x2="105" y2="56"/>
    <line x1="77" y1="66" x2="105" y2="66"/>
    <line x1="77" y1="76" x2="105" y2="76"/>
    <line x1="77" y1="86" x2="105" y2="86"/>
    <line x1="77" y1="94" x2="105" y2="94"/>
  </g>
  <path d="M44 58 H66 V48 L86 64 L66 80 V70 H44 Z" fill="#f08c00" stroke="#ffffff" stroke-width="3" stroke-linejoin="round"/>
</svg>
SVG
for size in 16 24 32 48 64 128 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/$id.svg" -o "$tmp/icon.png"
    # Plain 8-bit RGBA, no time stamps: the same drawing gives the same bytes.
    convert "$tmp/icon.png" -define png:exclude-chunks=date,time -strip "PNG32:$icons/${size}x${size}/apps/$id.png"
done
# The same sizes in one Windows icon, for the programs and the Start menu.
convert $(for size in 16 24 32 48 64 128 256; do echo "$icons/${size}x${size}/apps/$id.png"; done) \
    "$here/data/icons/renomeia-zq.ico"
