#!/usr/bin/env bash
# Formats every C++ file of the tree with the root .clang-format.
# With --check, changes nothing and fails when a file is not formatted.
# The files are those under src, tools, tests and bench (fuzz corpora left out), found in
# the tree itself, so a copy without git (an unpacked source archive) is checked alike.
# Finding no file at all is a failure: a check of nothing would pass.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
case "${1:-}" in
  "" | --check) ;;
  *)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac
dirs=()
for dir in src tools tests bench; do
  [ -d "$dir" ] && dirs+=("$dir")
done
files=()
if ((${#dirs[@]})); then
  mapfile -t files < <(find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) \
    -not -path '*/corpus/*' | LC_ALL=C sort)
fi
if ((${#files[@]} == 0)); then
  echo "format.sh: no C++ files under src, tools, tests or bench in $root" >&2
  exit 1
fi
if [ "${1:-}" = --check ]; then
  clang-format --dry-run -Werror -- "${files[@]}" </dev/null
else
  clang-format -i -- "${files[@]}" </dev/null
fi
