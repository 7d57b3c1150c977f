#!/usr/bin/env bash
# Makes the Debian package tarnik_<version>_<arch>.deb in the current folder (or the folder
# given) and checks it with lintian. First installs what is missing (scripts/setup.sh), then
# builds what the package holds, and nothing else (no tests), with Debian's hardening flags, in
# its own build folder: build-package/ (or $TARNIK_PACKAGE_BUILD_DIR).
# The package's bytes depend on the commit alone: every file time is SOURCE_DATE_EPOCH (the
# commit's time unless set) and no build path is kept in the programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIK_PACKAGE_BUILD_DIR:-$root/build-package}
out=$(mkdir -p "${1:-$PWD}" && cd "${1:-$PWD}" && pwd)

"$root/scripts/setup.sh"
command -v lintian >/dev/null 2>&1 ||
  { echo "package.sh: lintian is missing (scripts/setup.sh installs it)" >&2; exit 1; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
                      stat -c %Y "$root/packaging/changelog")
fi
export SOURCE_DATE_EPOCH

# ccache with a base folder rewrites the sources' paths as relative ones, past the prefix maps
# below, and the programs would then differ from a build without it.
unset CCACHE_BASEDIR
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The build folder is mapped too (the last map that matches wins), so the paths of generated
# sources (moc, uic, rcc) read the same whichever folder the package is built in.
mkdir -p "$build"
build=$(cd "$build" && pwd)
prefix_map="-ffile-prefix-map=$root=. -ffile-prefix-map=$build=build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DTARNIK_BENCH=OFF -DTARNIK_SANITIZE=OFF -DTARNIK_HARDENING=ON "${launcher[@]}" \
  "-DCMAKE_C_FLAGS=$prefix_map" "-DCMAKE_CXX_FLAGS=$prefix_map" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb=$(find "$build/package" -maxdepth 1 -name 'tarnik_*.deb' -print -quit)
[ -n "$deb" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }
cp "$deb" "$out/"
deb=$out/$(basename "$deb")

# Errors fail, and so does any hardening tag (informational ones included); the other
# tags left are listed in the README.
report=$(lintian --allow-root --fail-on error --display-info --tag-display-limit 0 "$deb") || {
  echo "$report" >&2
  exit 1
}
[ -z "$report" ] || echo "$report" >&2
if grep -q 'hardening-' <<<"$report"; then
  echo "package.sh: the programs lack hardening" >&2
  exit 1
fi
echo "$deb"
