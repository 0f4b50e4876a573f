#!/usr/bin/env bash
# Benchmark, not a test: the game network under load. For each number of
# games at once (default 10, 100 and 1000) it starts two linked ngircd
# servers on loopback with a computer player on each, and kelva-load, whose
# players, half on each server, each play the computer on the other server
# through the link, game after game to each game's end, with the client's
# own play logic and random moves. After a warm-up in which every player
# registers, joins "#Go-Moku" and begins, it measures for SECONDS (default
# 30) and prints the games finished per second, the time from a move sent to
# the computer's answer (median, 99th percentile), and the processor time
# and memory of the two servers and the two computers. Figures only; it
# never fails on a time. Everything it starts is stopped by its PID.
#   scripts/bench-network.sh [SECONDS [GAMES...]]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
levels=("$@")
[ ${#levels[@]} -gt 0 ] || levels=(10 100 1000)

"$root/scripts/deps.sh" serve
cd "$root"
cmake --preset opponent >/dev/null
cmake --build --preset opponent --target kelva-opponent kelva-load >/dev/null
bin=$root/build/opponent/opponent
ircd=$root/scripts/local-ircd.sh
work=$root/build/opponent/bench-network
# A connection a player, two for each computer, and the servers' own.
ulimit -n "$(ulimit -Hn)"

opponent_pids=()
cleanup() {
    for pid in "${opponent_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$ircd" stop "$work/second"
    "$ircd" stop "$work/first"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start; open files $(ulimit -n)"
for games in "${levels[@]}"; do
    cleanup
    opponent_pids=()
    rm -rf "$work"
    port_a=$((20000 + RANDOM % 20000))
    port_b=$((port_a + 1))
    "$ircd" start "$work/first" "$port_a" 120 "" irc.kelva.local irc2.kelva.local 0 >/dev/null
    "$ircd" start "$work/second" "$port_b" 120 "" irc2.kelva.local irc.kelva.local "$port_a" >/dev/null
    for _ in $(seq 100); do grep -q 'Server "irc2.kelva.local" registered' "$work/first/ngircd.log" && break; sleep 0.1; done
    for side in first:"$port_a":Computer second:"$port_b":Computer2; do
        IFS=: read -r dir port nick <<<"$side"
        "$bin/kelva-opponent" --server 127.0.0.1 --port "$port" --nick "$nick" --seed 1 --max-games "$games" \
            >"$work/$dir/opponent.log" 2>&1 &
        opponent_pids+=($!)
    done
    for dir in first second; do
        for _ in $(seq 100); do grep -q "registered as" "$work/$dir/opponent.log" && break; sleep 0.1; done
    done
    watch="$(cat "$work/first/ngircd.pid"),$(cat "$work/second/ngircd.pid"),${opponent_pids[0]},${opponent_pids[1]}"
    echo "== $games games at once (servers $watch: ngircd, ngircd, computer, computer)"
    "$bin/kelva-load" --ports "$port_a,$port_b" --computers Computer,Computer2 --games "$games" \
        --seconds "$seconds" --watch "$watch"
    grep -h "Write buffer\|Receive buffer\|Max\. connections\|flood" "$work"/*/ngircd.log | head -n 5 || true
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
