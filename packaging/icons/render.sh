#!/bin/sh
# Remakes the icon's PNG sizes from its SVG (rsvg-convert, from librsvg2-bin). The PNGs are kept in
# the tree so that building the package needs no SVG renderer; run this after changing the SVG.
set -e
cd "$(dirname "$0")"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" com.vellaris.roomdesk.svg -o "com.vellaris.roomdesk-$size.png"
done
