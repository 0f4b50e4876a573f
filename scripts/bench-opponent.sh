#!/usr/bin/env bash
# Benchmark, not a test: the computer player's search against a random
# player and against a one-ply greedy player, GAMES games each (default 200)
# with the computer as black and as white, judged by the board's own rules.
# Prints wins, losses and stalemates, and the median and worst wall-clock
# time per computer move, with the machine's load beside them (the machine
# is shared: a loaded machine stretches the times, not the moves).
#   scripts/bench-opponent.sh [GAMES]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" opponent
cd "$root"
cmake --preset opponent >/dev/null
cmake --build --preset opponent --target kelva-opponent-bench >/dev/null
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 minutes) at the start"
start=$(date +%s)
"$root/build/opponent/opponent/kelva-opponent-bench" --games "${1:-200}"
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end; $(( $(date +%s) - start )) s in all"
