#!/usr/bin/env bash
# Fails when a CTest name in the build tree does not start with its test folder, so that
# `ctest -R '^link\.'` and `./test.sh link` pick a whole folder and nothing else.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TARNIK_BUILD_DIR:-$root/build}}
folders=$(cd "$root/tests" && find . -name CMakeLists.txt -printf '%h\n' | sed 's|^\./||; s|/.*||' |
  sort -u | paste -sd '|')
stray=$(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p' | grep -Ev "^($folders)\." || true)
if [ -n "$stray" ]; then
  echo "Test names that do not start with their folder (tests/FOLDER gives FOLDER.):" >&2
  echo "$stray" >&2
  exit 1
fi
