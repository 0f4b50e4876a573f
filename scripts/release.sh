#!/usr/bin/env bash
# Builds the Windows release from a clean build tree: the portable zip and
# the installer, as `cmake --build --preset windows --target package` makes
# them, without the test programs, then prints their paths, sizes and
# SHA-256 sums.
#   scripts/release.sh [--default-server HOST]
# With --default-server, the packages' built-in default server (the home of
# the game channel, and Setup's first server) is HOST instead of localhost;
# they are built in build/release-HOST and their file names carry HOST.
# Without it they are built in build/release.
set -eu
cd "$(dirname "$0")/.."
root=$PWD

server=localhost
case "${1:-}" in
"") ;;
--default-server)
    server=${2:-}
    [[ "$server" =~ ^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$ ]] ||
        { echo "release.sh: not a host name: '$server'" >&2; exit 2; }
    ;;
*) echo "usage: $0 [--default-server HOST]" >&2; exit 2 ;;
esac
build=$root/build/release
[ "$server" = localhost ] || build=$root/build/release-$server

scripts/deps.sh release
rm -rf "$build"
cmake --preset windows -B "$build" -DKELVA_DEFAULT_SERVER="$server" -DKELVA_TESTS=OFF >/dev/null
cmake --build "$build" --target package >"$build/package.log" 2>&1 ||
    { tail -n 40 "$build/package.log"; echo "the release build failed; see $build/package.log" >&2; exit 1; }

revision=$(git describe --always --dirty 2>/dev/null || echo "unknown")
echo "KELVA release packages for the default server $server, from revision $revision:"
[[ "$revision" == *-dirty ]] && echo "(the work tree has uncommitted changes)"
for package in "$build"/KELVA-*-win64.zip "$build"/KELVA-*-win64-setup.exe; do
    [ -f "$package" ] || { echo "missing: $package" >&2; exit 1; }
    printf '%s\n  %s bytes\n  SHA-256 %s\n' "$package" "$(stat -c %s "$package")" \
        "$(sha256sum "$package" | cut -d' ' -f1)"
done
