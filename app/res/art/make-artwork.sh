#!/usr/bin/env bash
# Regenerates the icon and logo files in app/res from make-artwork.cpp: PNG for the desktop
# program (the logo also at twice its size, logo-*@2x.png, for screens at 200 %), .ico and 32-bit
# .bmp for the Windows resources. Needs qt6-base-dev, ImageMagick and
# the DejaVu fonts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/..
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

g++ -std=c++20 -O1 -fPIC "$here/make-artwork.cpp" -o "$work/make-artwork" \
  $(pkg-config --cflags --libs Qt6Widgets)
QT_QPA_PLATFORM=offscreen "$work/make-artwork" "$out"

sizes=(256 192 128 96 72 64 48 32 24 16)
convert $(for s in "${sizes[@]}"; do echo "$out/icon-$s.png"; done) "$out/lorixlog-finder.ico"
for lang in en de; do
  convert "$out/logo-$lang.png" -define bmp:format=bmp4 -define bmp3:alpha=true "BMP:$out/logo-$lang.bmp"
  convert "$out/logo-$lang@2x.png" -define bmp:format=bmp4 -define bmp3:alpha=true \
    "BMP:$out/logo-$lang-2x.bmp"
done

# The Windows installer's pictures (NSIS Modern UI at 96 dpi, 24-bit BMP): the welcome and finish
# pages' side picture and the other pages' header.
convert -size 164x314 gradient:'#1c7fc4'-'#0b3c6b' \
  \( "$out/icon-128.png" \) -gravity north -geometry +0+64 -composite \
  -font DejaVu-Sans-Bold -pointsize 15 -fill white -gravity north -annotate +0+206 'lorixlog-finder' \
  -type truecolor "BMP3:$here/../../../packaging/windows/installer-welcome.bmp"
convert -size 150x57 xc:white \( "$out/icon-48.png" \) -gravity east -geometry +4+0 -composite \
  -type truecolor "BMP3:$here/../../../packaging/windows/installer-header.bmp"
