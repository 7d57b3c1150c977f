#!/usr/bin/env bash
# scripts/format.sh in a copy of the tree without git: it finds the C++ files itself, fails
# naming an unformatted one, leaves fuzz corpora alone, fixes what it finds, and fails
# (instead of waiting on standard input or passing) when there is no file to check.
#   format_without_git.sh SOURCE_ROOT
set -euo pipefail
root=$1
command -v clang-format >/dev/null 2>&1 || { echo "clang-format is missing" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
failures=0

# expect STATUS TEXT WHAT -- COMMAND...: COMMAND exits with STATUS and its output holds
# TEXT ("" for any), or names no corpus file when TEXT is "!corpus".
expect() {
  local status=$1 text=$2 what=$3
  shift 4
  local got=0
  timeout 15 "$@" <&3 >"$work/out" 2>&1 || got=$?
  if [ "$got" != "$status" ]; then
    echo "FAIL: $what: exit $got, expected $status" >&2
    sed 's/^/  | /' "$work/out" >&2
    failures=$((failures + 1))
  elif [ "$text" = '!corpus' ] && grep -q corpus "$work/out"; then
    echo "FAIL: $what: a corpus file was checked" >&2
    failures=$((failures + 1))
  elif [ -n "$text" ] && [ "$text" != '!corpus' ] && ! grep -qF -- "$text" "$work/out"; then
    echo "FAIL: $what: output lacks \"$text\"" >&2
    sed 's/^/  | /' "$work/out" >&2
    failures=$((failures + 1))
  fi
}

# Standard input is a FIFO this script holds open for writing: it never ends, so a script
# that read it would hang until the timeout.
mkfifo "$work/stdin"
exec 3<>"$work/stdin"

mkdir -p "$tree/scripts" "$tree/src/model" "$tree/tests/fuzz/corpus/seeds" "$tree/bench"
cp "$root/scripts/format.sh" "$tree/scripts/"
cp "$root/.clang-format" "$tree/"
cd "$tree"
printf 'namespace tarnik {\nint answer() { return 42; }\n}\n' >src/model/tidy.cpp
clang-format -i src/model/tidy.cpp
printf 'int  messy( ){return 1;}\n' >tests/fuzz/corpus/seeds/seed.cpp
cp tests/fuzz/corpus/seeds/seed.cpp "$work/seed.cpp"
[ ! -e .git ] || { echo "FAIL: the copy has a .git" >&2; exit 1; }

expect 0 '!corpus' "a formatted tree passes the check" -- scripts/format.sh --check
printf 'int  late( ){return 2;}\n' >bench/late.h
expect 1 bench/late.h "an unformatted header fails the check, named" -- scripts/format.sh --check
expect 2 usage "an unknown option is refused" -- scripts/format.sh --chek
expect 0 "" "formatting fixes the tree" -- scripts/format.sh
expect 0 '!corpus' "the fixed tree passes the check" -- scripts/format.sh --check
cmp -s tests/fuzz/corpus/seeds/seed.cpp "$work/seed.cpp" ||
  { echo "FAIL: formatting changed a corpus file" >&2; failures=$((failures + 1)); }

rm -rf src tests bench
expect 1 "no C++ files" "a tree without sources fails" -- scripts/format.sh --check
expect 1 "no C++ files" "formatting a tree without sources fails" -- scripts/format.sh

if ((failures)); then
  echo "$failures case(s) failed" >&2
  exit 1
fi
echo "format.sh: all cases passed"
