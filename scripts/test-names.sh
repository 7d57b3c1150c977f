#!/usr/bin/env bash
# Checks the test names, so that `ctest -R '^link\.'` and `./test.sh link` pick a whole
# folder and nothing else, and every test reads alike:
#  - each CTest name in the build tree starts with the folder under tests/ that defines it,
#    dots for slashes ("editor/dialogs" gives "editor.dialogs."), and not with another,
#    deeper folder's prefix ("editor.dialogs." is not for a test of tests/editor);
#  - each GoogleTest suite, test and instantiation name in tests/ starts with a capital
#    letter, and so does each name a parameter generator gives.
#   scripts/test-names.sh [BUILD]   (default: $TARNIK_BUILD_DIR, else build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TARNIK_BUILD_DIR:-$root/build}}
status=0

if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "test-names.sh: $build holds no configured tests" >&2
  exit 1
fi

# The tests each folder's CTest file defines. Running ctest in a folder of the build tree
# lists that folder's tests and those of the folders it includes, so the deepest folder
# that lists a test is the one defining it.
# ctest -N adds "  # GetParam() = ..." after a parameterised test's name.
names() { (cd "$1" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p' | sed 's/  # GetParam() = .*$//'); }
declare -A folder_of=()
mapfile -t folders < <(cd "$build/tests" 2>/dev/null && find . -name CTestTestfile.cmake -printf '%h\n' |
  sed 's|^\./||; s|^\.$||' | grep -v '^$' | awk -F/ '{print NF "\t" $0}' | sort -k1,1nr -k2 | cut -f2)
for folder in "${folders[@]}"; do
  while IFS= read -r name; do
    [ -n "$name" ] && [ -z "${folder_of[$name]:-}" ] && folder_of[$name]=$folder
  done < <(names "$build/tests/$folder")
done

wrong=()
while IFS= read -r name; do
  [ -n "$name" ] || continue
  folder=${folder_of[$name]:-}
  if [ -z "$folder" ]; then
    wrong+=("$name  (defined outside tests/)")
    continue
  fi
  own=${folder//\//.}.
  # The longest folder prefix the name starts with must be the test's own.
  longest=
  for other in "${folders[@]}"; do
    prefix=${other//\//.}.
    if [[ $name == "$prefix"* && ${#prefix} -gt ${#longest} ]]; then
      longest=$prefix
    fi
  done
  if [ "$longest" != "$own" ]; then
    wrong+=("$name  (defined in tests/$folder, so it starts with $own)")
  fi
done < <(names "$build")
if ((${#wrong[@]})); then
  echo "Test names that do not start with their own folder (tests/FOLDER gives FOLDER.):" >&2
  printf '  %s\n' "${wrong[@]}" >&2
  status=1
fi

# GoogleTest names in the sources: TEST(Suite, Name), TEST_F, TEST_P, TYPED_TEST and the
# first argument of INSTANTIATE_TEST_SUITE_P / INSTANTIATE_TYPED_TEST_SUITE_P.
lower=$(cd "$root" && find tests -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r perl -0777 -ne '
  while (/\b(TEST|TEST_F|TEST_P|TYPED_TEST|TYPED_TEST_P)\(\s*(\w+)\s*,\s*(\w+)\s*\)/g) {
    my ($suite, $test, $at) = ($2, $3, $-[0]);
    my $line = 1 + (substr($_, 0, $at) =~ tr/\n//);
    print "$ARGV:$line: $suite.$test\n" if $suite !~ /^[A-Z]/ || $test !~ /^[A-Z]/;
  }
  while (/\bINSTANTIATE_(?:TYPED_)?TEST_SUITE_P\(\s*(\w+)\s*,/g) {
    my ($inst, $at) = ($1, $-[0]);
    my $line = 1 + (substr($_, 0, $at) =~ tr/\n//);
    print "$ARGV:$line: $inst (instantiation)\n" if $inst !~ /^[A-Z]/;
  }')
# Names a parameter generator gives show only in the discovered names: Inst/Suite.Test/Param.
generated=$(names "$build" | sed -n 's|^[^/]*/[^/]*/\(.*\)$|\1|p' | grep -v '^[A-Z0-9]' | sort -u || true)
if [ -n "$lower" ] || [ -n "$generated" ]; then
  echo "Test names that start with a small letter (suites, tests and parameters start with a capital):" >&2
  [ -n "$lower" ] && sed 's/^/  /' <<<"$lower" >&2
  [ -n "$generated" ] && sed 's|^|  parameter name: |' <<<"$generated" >&2
  status=1
fi
exit "$status"
