#!/usr/bin/env bash
# with_openbox.sh WIDTHxHEIGHT COMMAND [ARG...]
# Runs COMMAND on a display of its own: a virtual X server (Xvfb) of the size given with the
# openbox window manager, whose margins stand for panels (24 pixels at the top, 40 at the
# bottom), so the free area is smaller than the screen. COMMAND gets DISPLAY and
# QT_QPA_PLATFORM=xcb; its exit status is the script's. The server and the window manager
# are ended on every way out. Without Xvfb, openbox or xprop (scripts/setup.sh installs
# them) it exits 77, which CTest reports as skipped.
set -euo pipefail
size=$1
shift
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "with_openbox: $tool is missing" >&2; exit 77; }
done

work=$(mktemp -d)
server=""
manager=""
cleanup() {
  local pid
  for pid in $manager $server; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

cat >"$work/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>24</top><bottom>40</bottom><left>0</left><right>0</right></margins>
</openbox_config>
XML

# The server picks a free display and writes its number once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
if ! read -r number <"$work/display"; then
  echo "with_openbox: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=:$number QT_QPA_PLATFORM=xcb

# The window manager is ready when it names itself on the root window and publishes the
# free area.
HOME=$work openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
manager=$!
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
      xprop -root _NET_WORKAREA 2>/dev/null | grep -q '='; do
  kill -0 "$manager" 2>/dev/null || { echo "with_openbox: openbox ended" >&2;
                                      cat "$work/openbox.log" >&2; exit 1; }
  sleep 0.1
done

status=0
"$@" || status=$?
exit "$status"
