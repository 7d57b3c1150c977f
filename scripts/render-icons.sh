#!/usr/bin/env bash
# Renders the program icon's PNG sizes from data/icons/tarnik.svg (run after
# changing the drawing; the PNGs are kept in the tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v rsvg-convert >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends librsvg2-bin >/dev/null
fi
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" "$root/data/icons/tarnik.svg" -o "$root/data/icons/tarnik-$size.png"
done
