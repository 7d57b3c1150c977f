#!/usr/bin/env bash
# first_start_on_screen.sh TARNIK DESKTOP_ENTRY
# Run on a display with a window manager (tests/support/with_openbox.sh): the program TARNIK,
# started with a fresh configuration, opens its window with the whole frame (as
# _NET_FRAME_EXTENTS gives it) inside the free area (_NET_WORKAREA), and the window's WM_CLASS
# class is the StartupWMClass of DESKTOP_ENTRY.
set -euo pipefail
tarnik=$1
desktop=$2
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "first start: $*" >&2; exit 1; }
numbers() { sed -n 's/^[^=]*= *//p' | tr -d ' '; }  # "NAME(TYPE) = a, b" -> "a,b"

export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$tarnik" >"$work/out" 2>&1 &
pid=$!

# The program's window: the managed window whose _NET_WM_PID is the program's, once the
# window manager has framed it.
window=""
extents=""
until [ -n "$extents" ]; do
  kill -0 "$pid" 2>/dev/null || { cat "$work/out" >&2; fail "the program ended"; }
  sleep 0.1
  for id in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*'); do
    if [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | numbers)" = "$pid" ]; then
      window=$id
      extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | numbers | grep -E '^[0-9,]+$' || true)
    fi
  done
done

IFS=, read -r left right top bottom <<<"$extents"
IFS=, read -r area_x area_y area_w area_h _ <<<"$(xprop -root _NET_WORKAREA | numbers)"
info=$(xwininfo -id "$window")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
x=$(( $(field 'Absolute upper-left X') - left ))
y=$(( $(field 'Absolute upper-left Y') - top ))
w=$(( $(field Width) + left + right ))
h=$(( $(field Height) + top + bottom ))
echo "frame ${x},${y} ${w}x${h}; free area ${area_x},${area_y} ${area_w}x${area_h}"
(( x >= area_x && y >= area_y && x + w <= area_x + area_w && y + h <= area_y + area_h )) ||
  fail "the frame is not inside the free area"

class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wanted" ] || fail "$desktop has no StartupWMClass"
[ "$class" = "$wanted" ] || fail "WM_CLASS class '$class', StartupWMClass '$wanted'"
echo "WM_CLASS class $class"
