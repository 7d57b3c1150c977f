#!/usr/bin/env bash
# Builds the programs and makes the Debian package tarnik_<version>_<arch>.deb in the
# current folder (or the folder given), then checks it with lintian when present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIK_BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$PWD}" && cd "${1:-$PWD}" && pwd)

"$root/scripts/build.sh"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb=$(find "$build/package" -maxdepth 1 -name 'tarnik_*.deb' -print -quit)
[ -n "$deb" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }
cp "$deb" "$out/"
deb=$out/$(basename "$deb")

if command -v lintian >/dev/null 2>&1; then
  # Errors fail; the warnings left are listed in the README.
  lintian --allow-root --fail-on error --tag-display-limit 0 "$deb"
fi
echo "$deb"
