#!/usr/bin/env bash
# Builds both presets and runs every test tier through ctest: unit and
# integration natively, end to end under Wine. Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh test

cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows

status=0
echo "== native: unit and integration tests"
ctest --preset native -j2 || status=1
echo "== windows: kelva.exe under Wine"
ctest --preset windows || status=1
exit $status
