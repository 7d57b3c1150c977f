#!/usr/bin/env bash
# Pictures of the main window, one per settings page, made on a virtual X
# display: docs/screenshots/main_window.png, page1.png .. page5.png and overview.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIK_BUILD_DIR:-$root/build}
out=${1:-$root/docs/screenshots}

if ! command -v Xvfb >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xvfb >/dev/null
fi
[ -x "$build/src/app/tarnik" ] || "$root/scripts/build.sh"

# The server picks a free display and writes its number once it accepts clients.
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
if ! read -r -t 30 number <"$work/display"; then
  echo "screenshot.sh: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
display=:$number

mkdir -p "$out"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/src/app/tarnik" --demo --screenshots "$out"
echo "Pictures in $out"
