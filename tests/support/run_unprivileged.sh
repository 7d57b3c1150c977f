#!/bin/sh
# Runs a test program as the unprivileged user "nobody", for the cases that permissions decide
# (root passes every permission check). The program is copied into a fresh folder that
# nobody can reach, since the build tree may lie below a folder only root may enter.
# Usage: run_unprivileged.sh PROGRAM [ARGUMENTS...]
set -eu
program=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
cp "$program" "$dir/"
home="$dir/home"
mkdir "$home"
chown nobody "$home"
setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
  env HOME="$home" QT_QPA_PLATFORM=offscreen "$dir/$(basename "$program")" "$@"
