#!/usr/bin/env bash
# check_reproducible.sh DEB
# The package is reproducible: scripts/package.sh run again from the same tree, in a build
# folder of its own (build-package-again/, or $TARNIK_PACKAGE_AGAIN_DIR), gives a package
# whose bytes are DEB's. On a difference it names the parts and files that differ.
# The second build compiles without ccache, so objects the first build left in the cache
# cannot hide a difference a clean machine would see.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
first=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

again=$(CCACHE_DISABLE=1 TARNIK_PACKAGE_BUILD_DIR=${TARNIK_PACKAGE_AGAIN_DIR:-$root/build-package-again} \
        "$root/scripts/package.sh" "$work/again" | tail -n 1)
if cmp -s "$first" "$again"; then
  echo "reproducible: two builds gave the same $(stat -c %s "$first") bytes"
  exit 0
fi

echo "check_reproducible: two builds of the package differ" >&2
for deb in "$first" "$again"; do
  dir=$work/$( [ "$deb" = "$first" ] && echo a || echo b )
  mkdir -p "$dir/parts" "$dir/files"
  (cd "$dir/parts" && ar x "$deb")
  dpkg-deb -x "$deb" "$dir/files"
  dpkg-deb -c "$deb" >"$dir/listing"
done
for part in "$work"/a/parts/*; do
  cmp -s "$part" "$work/b/parts/$(basename "$part")" || echo "  part differs: $(basename "$part")" >&2
done
diff "$work/a/listing" "$work/b/listing" >&2 || true
diff -rq "$work/a/files" "$work/b/files" >&2 || true
exit 1
