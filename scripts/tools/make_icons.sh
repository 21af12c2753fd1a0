#!/usr/bin/env bash
# Renders the scalable icon resources/velmora.svg to the PNG sizes the desktop's menus and
# software centres ask for, into resources/icons/<size>.png (the 32-pixel tray icon is drawn by
# make_tray_icon.py). Run it again only when the icon changes; the PNGs are kept in the tree so
# that building needs no SVG renderer.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v rsvg-convert >/dev/null || { echo "icons: rsvg-convert (librsvg2-bin) is missing" >&2; exit 1; }
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$root/resources/velmora.svg" -o "$root/resources/icons/$size.png"
done
ls -l "$root"/resources/icons/*.png
