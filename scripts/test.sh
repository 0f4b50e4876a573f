#!/usr/bin/env bash
# Builds every preset and runs every test tier through ctest: unit and
# integration natively, a short fuzzing run, and end to end under Wine.
# Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh test

for preset in native fuzz windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

# The integration tier fails, rather than skips, without its server.
export KELVA_REQUIRE_SERVER=1
status=0
echo "== native: unit and integration tests"
ctest --preset native -j2 || status=1
echo "== fuzz: a short run of each fuzzer"
ctest --preset fuzz -j2 || status=1
echo "== windows: kelva.exe under Wine"
ctest --preset windows || status=1
exit $status
