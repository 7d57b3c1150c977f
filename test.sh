#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest (window tests offscreen),
# then builds the Debian package and tests the program unpacked from it.
# When clang is present, the fuzz targets and the reduced soak then run in a sanitizer
# build (scripts/fuzz.sh); set TARNIK_SKIP_FUZZ=1 to leave that out.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" -DTARNIK_WERROR=ON -DTARNIK_HARDENING=ON
build=${TARNIK_BUILD_DIR:-$root/build}
export QT_QPA_PLATFORM=offscreen
status=0
echo "== Formatting (scripts/format.sh fixes it)"
"$root/scripts/format.sh" --check || status=$?
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" "$@") || status=$?
echo
echo "== The installed program (Debian package built, unpacked and run)"
"$root/tests/package/check_installed.sh" || status=$?
if [ "${TARNIK_SKIP_FUZZ:-0}" != 1 ] && command -v clang++ >/dev/null 2>&1; then
  echo
  echo "== Fuzz targets and soak under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
  "$root/scripts/fuzz.sh" || status=$?
fi
exit "$status"
