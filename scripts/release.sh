#!/usr/bin/env bash
# Builds the Windows release from a clean build tree (build/release): the
# portable zip and the installer, as `cmake --build --preset windows --target
# package` makes them, then prints their paths, sizes and SHA-256 sums.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/release

scripts/deps.sh release
rm -rf "$build"
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target package >"$build/package.log" 2>&1 ||
    { tail -n 40 "$build/package.log"; echo "the release build failed; see $build/package.log" >&2; exit 1; }

revision=$(git describe --always --dirty 2>/dev/null || echo "unknown")
echo "KELVA release packages, from revision $revision:"
[[ "$revision" == *-dirty ]] && echo "(the work tree has uncommitted changes)"
for package in "$build"/KELVA-*-win64.zip "$build"/KELVA-*-win64-setup.exe; do
    [ -f "$package" ] || { echo "missing: $package" >&2; exit 1; }
    printf '%s\n  %s bytes\n  SHA-256 %s\n' "$package" "$(stat -c %s "$package")" \
        "$(sha256sum "$package" | cut -d' ' -f1)"
done
