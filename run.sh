#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${TARNIK_BUILD_DIR:-$root/build}
if [ ! -x "$build/src/app/tarnik" ]; then
  echo "The main window is not built yet; only the libraries and tests exist so far." >&2
  exit 1
fi
exec "$build/src/app/tarnik" "$@"
