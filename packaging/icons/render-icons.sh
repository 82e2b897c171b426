#!/usr/bin/env bash
# Renders the bitmap sizes of the icon from qvbook.svg (needs rsvg-convert from
# librsvg2-bin) and packs the Windows sizes into qvbook.ico. Run it after changing the
# SVG and commit the files it writes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/qvbook.svg" -o "$here/qvbook-$size.png"
done
# An .ico holding the PNG images as they are (Windows reads PNG entries since Vista): a
# 6-byte header, one 16-byte entry per image (a size of 256 is written as 0), the images.
python3 - "$here" 16 24 32 48 64 128 256 <<'PY'
import struct, sys
folder, sizes = sys.argv[1], [int(s) for s in sys.argv[2:]]
images = [open(f"{folder}/qvbook-{s}.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(images)
out = struct.pack("<HHH", 0, 1, len(images))
for size, image in zip(sizes, images):
    out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
    offset += len(image)
with open(f"{folder}/qvbook.ico", "wb") as ico:
    ico.write(out + b"".join(images))
PY
