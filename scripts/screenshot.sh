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

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done

mkdir -p "$out"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/src/app/tarnik" --demo --screenshots "$out"
echo "Pictures in $out"
