#!/usr/bin/env bash
# Benchmark, not a test: the CPU time and the wake-ups (voluntary context
# switches, summed over the process's threads) of each connected client over
# 10 seconds while nothing happens, read from /proc, with the wineserver's
# CPU time beside them.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run
# shellcheck disable=SC2016
"$root/scripts/pose.sh" bash -c '
    ticks() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
    wakes() { cat /proc/$1/task/*/status | awk "/^voluntary_ctxt_switches/ {n += \$2} END {print n}"; }
    hz=$(getconf CLK_TCK)
    sleep 2
    declare -A before before_wakes
    for p in $POSE_PIDS $POSE_WINESERVER; do before[$p]=$(ticks "$p"); before_wakes[$p]=$(wakes "$p"); done
    sleep 10
    for p in $POSE_PIDS; do
        echo "$(tr "\\0" " " </proc/$p/cmdline | cut -c1-70) (pid $p): $(( $(ticks "$p") - ${before[$p]} )) ticks of $((10 * hz)) in 10 s" \
             "= $(awk "BEGIN {printf \"%.2f\", 100 * ($(ticks "$p") - ${before[$p]}) / (10 * $hz)}")% of one core," \
             "$(( ($(wakes "$p") - ${before_wakes[$p]}) / 10 )) wake-ups a second"
    done
    w=$POSE_WINESERVER
    echo "wineserver (pid $w): $(awk "BEGIN {printf \"%.2f\", 100 * ($(ticks "$w") - ${before[$w]}) / (10 * $hz)}")% of one core"
'
