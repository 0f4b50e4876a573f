#!/usr/bin/env bash
# Benchmark, not a test: the game network under load. For each number of
# games at once (default 10, 100 and 1000) it starts two server kits
# (scripts/serve.sh) on loopback, linked, each with its computer player, and
# kelva-load, whose players, half on each server, each play the computer on
# the other server through the link, game after game to each game's end,
# with the client's own play logic and random moves. After a warm-up in
# which every player registers, joins "#Go-Moku" and begins, it measures for
# SECONDS (default 30) and prints the games finished per second, the time
# from a move sent to the computer's answer (median, 99th percentile), and
# the processor time and memory of the two servers and the two computers.
# With --flood-limits off the kits lift ngircd's hold on fast connections.
# Figures only; it never fails on a time. The kits are stopped by their PIDs.
#   scripts/bench-network.sh [--flood-limits on|off] [SECONDS [GAMES...]]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
limits=on
if [ "${1:-}" = --flood-limits ]; then
    limits=$2
    shift 2
fi
seconds=${1:-30}
shift || true
levels=("$@")
[ ${#levels[@]} -gt 0 ] || levels=(10 100 1000)

"$root/scripts/deps.sh" serve
cd "$root"
cmake --preset opponent >/dev/null
cmake --build --preset opponent --target kelva-opponent kelva-load >/dev/null
bin=$root/build/opponent/opponent
work=$root/build/opponent/bench-network
# A connection a player, and the servers' and computers' own.
ulimit -n "$(ulimit -Hn)"

kit_pids=()
stop_kits() {
    for pid in "${kit_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${kit_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    kit_pids=()
}
trap stop_kits EXIT
trap 'exit 130' INT TERM

start_kit() {  # DIR PORT OTHER_PORT NICK GAMES
    "$root/scripts/serve.sh" --name 127.0.0.1 --port "$2" --listen 127.0.0.1 --dir "$1" --link "127.0.0.1:$3" \
        --link-password bench --flood-limits "$limits" --max-games "$5" --opponent-nick "$4" \
        --opponent "$bin/kelva-opponent" --tls-port 0 >"$1.out" 2>&1 &
    kit_pids+=($!)
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start; flood limits $limits"
for games in "${levels[@]}"; do
    rm -rf "$work"
    mkdir -p "$work"
    port_a=$((20000 + RANDOM % 20000))
    port_b=$((port_a + 1))
    start_kit "$work/first" "$port_a" "$port_b" Computer "$games"
    start_kit "$work/second" "$port_b" "$port_a" Computer2 "$games"
    for kit in first second; do
        for _ in $(seq 300); do grep -q '^ready$' "$work/$kit.out" 2>/dev/null && break; sleep 0.1; done
    done
    for _ in $(seq 100); do grep -q "Server \"kelva$port_b.127.0.0.1\" registered" "$work/first/ngircd.log" && break; sleep 0.1; done
    watch="$(cat "$work/first/ngircd.pid"),$(cat "$work/second/ngircd.pid"),$(cat "$work/first/opponent.pid"),$(cat "$work/second/opponent.pid")"
    echo "== $games games at once (PIDs $watch: ngircd, ngircd, computer, computer)"
    "$bin/kelva-load" --ports "$port_a,$port_b" --computers Computer,Computer2 --games "$games" \
        --seconds "$seconds" --watch "$watch"
    stop_kits
    for kit in first second; do
        grep -h "Compression error\|Write buffer\|unregistered.*Timeout" "$work/$kit/ngircd.log" |
            sed -e 's/^\[[^]]*\] //' -e 's/connection [0-9]*/connection N/' | sort | uniq -c | sort -rn | head -n 3 |
            sed "s/^/  $kit server:/" || true
    done
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
