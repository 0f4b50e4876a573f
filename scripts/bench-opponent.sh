#!/usr/bin/env bash
# Benchmark, not a test: the computer player at each level (1 novice, 2, 3
# full strength) against a random player, a one-ply greedy player and two
# rivals written apart from the computer player's search (strong: alpha-beta
# 6 moves deep; deep: 8 moves deep, with wins by fours and open threes looked
# for on both sides), GAMES games each (default 20) with the computer as
# black and as white, judged by the board's own rules. The rivals are checked
# first: strong against greedy, deep against strong with its time per move.
# Prints wins, losses and stalemates, and per level the median and worst time
# per computer move, wall clock and processor, with the machine's load beside
# them (the machine is shared: a loaded machine stretches the times, not the
# moves).
#   scripts/bench-opponent.sh [GAMES] [kelva-opponent-bench options: --level L --rival NAME]
#   (--level L: level L alone, without the rivals' checks; --level 0: the checks alone)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" opponent
cd "$root"
cmake --preset opponent >/dev/null
cmake --build --preset opponent --target kelva-opponent-bench >/dev/null
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 minutes) at the start"
start=$(date +%s)
games=${1:-20}
[ $# -gt 0 ] && shift
"$root/build/opponent/opponent/kelva-opponent-bench" --games "$games" "$@"
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end; $(( $(date +%s) - start )) s in all"
