#!/usr/bin/env bash
# Renders packaging/varnel.svg into the PNG sizes the desktop's icon theme and the program's windows use
# (packaging/icons/varnel-SIZE.png, committed). Run it after changing the SVG; needs rsvg-convert
# (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "packaging/icons/varnel-$size.png" packaging/varnel.svg
done
ls -l packaging/icons
