#!/usr/bin/env bash
# scripts/test-names.sh on a small tree and a build tree of CTest files made here: it passes
# the names that start with their own folder and a capital letter, and fails naming the
# test whose name starts with another folder's prefix (a sibling's or a deeper folder's),
# a suite, test, instantiation or parameter name in small letters, and a missing build.
#   test_names_check.sh SOURCE_ROOT
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A tree with tests/model, tests/editor and tests/editor/dialogs, each defining one test
# in CTest and one in the sources, and a build whose top CTest file lists the three
# folders as the project's does (tests/editor/dialogs straight from the top).
make_tree() {
  rm -rf "$work/tree"
  local tree=$work/tree
  mkdir -p "$tree/scripts" "$tree/build"
  cp "$root/scripts/test-names.sh" "$tree/scripts/"
  : >"$tree/build/CTestTestfile.cmake"
  local folder
  for folder in model editor editor/dialogs; do
    mkdir -p "$tree/tests/$folder" "$tree/build/tests/$folder"
    echo "subdirs(\"tests/$folder\")" >>"$tree/build/CTestTestfile.cmake"
    local prefix=${folder//\//.}
    echo "add_test(\"$prefix.Suite.Works\" \"true\")" >"$tree/build/tests/$folder/CTestTestfile.cmake"
    printf 'TEST(Suite,\n     Works)\n{\n}\n' >"$tree/tests/$folder/a_test.cpp"
    : >"$tree/tests/$folder/CMakeLists.txt"
  done
}

# add_test FOLDER NAME: one more CTest test defined in tests/FOLDER.
add_test() { echo "add_test(\"$2\" \"true\")" >>"$work/tree/build/tests/$1/CTestTestfile.cmake"; }

# check STATUS TEXT WHAT: test-names.sh on the tree exits with STATUS, its output holding TEXT.
check() {
  local status=$1 text=$2 what=$3 got=0
  "$work/tree/scripts/test-names.sh" "${4:-$work/tree/build}" >"$work/out" 2>&1 || got=$?
  if [ "$got" != "$status" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$work/out"; }; then
    echo "FAIL: $what: exit $got (expected $status), output:" >&2
    sed 's/^/  | /' "$work/out" >&2
    failures=$((failures + 1))
  fi
}

make_tree
check 0 "" "every name starts with its own folder and a capital"

make_tree
add_test model editor.Suite.Elsewhere
check 1 "editor.Suite.Elsewhere" "a name with a sibling folder's prefix"

make_tree
add_test editor editor.dialogs.Suite.Deeper
check 1 "editor.dialogs.Suite.Deeper" "a name with a deeper folder's prefix"

make_tree
add_test model model.Inst/Suite.Case/wrongParam
check 1 "parameter name: wrongParam" "a parameter name in small letters"

make_tree
printf 'TEST_F(Fixture, works)\n{\n}\n' >>"$work/tree/tests/editor/dialogs/a_test.cpp"
check 1 "tests/editor/dialogs/a_test.cpp:5: Fixture.works" "a test name in small letters"

make_tree
printf 'TEST_P(\n    suite, Works)\n{\n}\n' >>"$work/tree/tests/model/a_test.cpp"
check 1 "tests/model/a_test.cpp:5: suite.Works" "a suite name in small letters, over lines"

make_tree
printf 'INSTANTIATE_TEST_SUITE_P(places, Suite, ::testing::Values(1));\n' \
  >>"$work/tree/tests/model/a_test.cpp"
check 1 "places (instantiation)" "an instantiation name in small letters"

make_tree
check 1 "holds no configured tests" "a build tree without tests" "$work/tree/nothing"

if ((failures)); then
  echo "$failures case(s) failed" >&2
  exit 1
fi
echo "test-names.sh: all cases passed"
