#!/usr/bin/env bash
# Renders the bitmap sizes of the icon from qvbook.svg (needs rsvg-convert from
# librsvg2-bin). Run it after changing the SVG and commit the PNG files it writes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/qvbook.svg" -o "$here/qvbook-$size.png"
done
