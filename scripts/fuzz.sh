#!/usr/bin/env bash
# Builds the sanitizer tree (clang, AddressSanitizer + UndefinedBehaviorSanitizer,
# libFuzzer) into build-fuzz/ (or $TARNIK_FUZZ_BUILD_DIR) and runs, through CTest, every
# fuzz target for a bounded time and the reduced soak under LeakSanitizer. Only what
# those need is built. Extra arguments go to ctest. TARNIK_FUZZ_SECONDS sets the
# time per target (default 20).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIK_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${TARNIK_FUZZ_SECONDS:-20}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: fuzzing skipped" >&2
  exit 0
fi
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNIK_FUZZ=ON -DTARNIK_SANITIZE=ON -DTARNIK_BENCH=OFF -DTARNIK_WERROR=ON >/dev/null
fi
cmake "$build" -DTARNIK_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target tarnik_fuzz_targets proof_soak

# A leak or any sanitizer report fails the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" -L 'fuzz|soak' "$@"
