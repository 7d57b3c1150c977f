#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds, and runs every test through CTest
# (window tests offscreen), then builds the Debian package and tests the program unpacked
# from it. When clang is present, the fuzz targets and the reduced soak then run in a
# sanitizer build (scripts/fuzz.sh); set TARNIK_SKIP_FUZZ=1 to leave that out.
#
# With arguments only some tests run, after the formatting check and the build, and the
# package and fuzz stages are left out:
#   ./test.sh link serial          the tests of those folders (ctest -R '^(link|serial)\.')
#   ./test.sh -R '^app\.main_window\.' -j1   arguments starting with '-' go to ctest as given
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=${TARNIK_BUILD_DIR:-$root/build}

ctest_args=()
if (($#)); then
  # A filter that picks nothing (a misspelt folder) fails rather than passing empty.
  if [[ $1 == -* ]]; then
    ctest_args=(--no-tests=error "$@")
  else
    folders=$(IFS='|'; echo "$*")
    ctest_args=(--no-tests=error -R "^($folders)\\.")
  fi
fi

"$root/scripts/setup.sh"
status=0
echo "== Formatting (scripts/format.sh fixes it)"
"$root/scripts/format.sh" --check || status=$?
"$root/scripts/build.sh" -DTARNIK_WERROR=ON -DTARNIK_HARDENING=ON
echo "== Test names (each starts with its folder)"
"$root/scripts/test-names.sh" "$build" || status=$?
export QT_QPA_PLATFORM=offscreen
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" "${ctest_args[@]}") || status=$?
if (($#)); then
  exit "$status"
fi

echo
echo "== The installed program (Debian package built, unpacked and run)"
"$root/tests/package/check_installed.sh" || status=$?
if [ "${TARNIK_SKIP_FUZZ:-0}" != 1 ] && command -v clang++ >/dev/null 2>&1; then
  echo
  echo "== Fuzz targets and soak under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
  "$root/scripts/fuzz.sh" || status=$?
fi
exit "$status"
