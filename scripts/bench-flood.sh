#!/usr/bin/env bash
# Benchmark, not a test: kelva.exe under Wine beside irssi in tmux, each fed
# the same floods by a scripted IRC server on loopback (scripts/bench_flood.py),
# alternating round by round; prints one table of medians and ratios.
#   scripts/bench-flood.sh [SCENARIO...] [--rounds N] [--timeout S] [--only KELVA|irssi]
#                          [--trace WINEDEBUG-CHANNELS] [--syscalls] [--profile] [--tls] [--before REV]
# SCENARIO: msgs:N, list:N, names:N or idle:SECONDS; by default the whole
# table (10,000 and 100,000 messages, LIST of 10,000 and 50,000, names of
# 2,000, idle 10 s, three rounds: about 15 minutes).
# --tls: kelva.exe in plain text beside kelva.exe over TLS, instead of irssi.
# --before REV: kelva.exe of the git revision REV too, built from a copy of
# that tree (build/bench-before/), in the same rounds: a change before and
# after, each beside irssi, on the same machine at the same time.
# --trace, --syscalls, --profile: one KELVA round per scenario, for finding
# where the time goes (Wine's debug channels; system calls by peer; CPU time
# by process, module and function, sampled with perf).
# kelva.exe runs in a Wine prefix of its own, made as the end-to-end tests
# make theirs (Wine's default theme on), on an Xvfb display of its own.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
state=$build/bench-session/state
session=$root/tests/e2e/session.sh

"$root/scripts/deps.sh" bench
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelva kelva_driver >/dev/null
# A copy of its own, so that a build during the run changes nothing measured.
bin=$build/bench-bin
mkdir -p "$bin"
cp "$build/kelva.exe" "$build/kelva.hlp" "$build/kelva_driver.exe" "$bin/"

args=()
while [ $# -gt 0 ]; do
    case $1 in
    --before) before=$(git -C "$root" rev-parse --verify "$2^{commit}"); shift 2 ;;
    *) args+=("$1"); shift ;;
    esac
done
if [ -n "${before:-}" ]; then
    # The earlier tree's kelva.exe beside this tree's driver, which starts it.
    old=$root/build/bench-before
    if [ "$(cat "$old/revision" 2>/dev/null)" != "$before" ]; then
        rm -rf "$old"
        mkdir -p "$old/src"
        git -C "$root" archive "$before" | tar -x -C "$old/src"
        (cd "$old/src" && cmake --preset windows >/dev/null && cmake --build --preset windows --target kelva >/dev/null)
        echo "$before" >"$old/revision"
    fi
    mkdir -p "$old/bin"
    cp "$old/src/build/windows/kelva.exe" "$old/src/build/windows/kelva.hlp" "$old/bin/"
    cp "$build/kelva_driver.exe" "$old/bin/"
    args+=(--before-build "$old/bin")
fi

trap '"$session" stop "$state"' EXIT
trap 'exit 130' INT TERM
"$session" start "$state" "$build/bench-wineprefix" >/dev/null
# shellcheck disable=SC1090
. "$state"
/usr/bin/python3 "$root/scripts/bench_flood.py" --build "$bin" --wine "$WINE" --wineprefix "$WINEPREFIX" \
    --wineserver-pid "$WINESERVER_PID" ${XVFB_PID:+--xvfb-pid "$XVFB_PID"} --logdir "$build/bench-logs" \
    ${args[@]+"${args[@]}"}
