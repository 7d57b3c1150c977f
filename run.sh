#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${TARNIK_BUILD_DIR:-$root/build}
app=$build/src/app/tarnik
if [ ! -x "$app" ]; then
  echo "run.sh: the build left no program at $app" >&2
  exit 1
fi
exec "$app" "$@"
