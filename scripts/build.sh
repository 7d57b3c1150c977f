#!/usr/bin/env bash
# Configures and builds into build/ (or $TARNIK_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIK_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
elif (($#)); then
  cmake "$build" "$@" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)"
