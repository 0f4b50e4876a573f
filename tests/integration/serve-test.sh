#!/usr/bin/env bash
# The server kit: two kits on this machine, on loopback ports of their own
# and folders of their own, linked to each other, the second without flood
# limits. Each says "ready"; a player on the first finds both computers in
# "#Go-Moku"; SIGTERM stops each kit with its server and computer.
#   serve-test.sh WORK_DIR OPPONENT_PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
serve=$here/../../scripts/serve.sh
work=$1 opponent=$2
rm -rf "$work"
mkdir -p "$work"
port_a=$((20000 + RANDOM % 20000))
port_b=$((port_a + 1))
failed=0
fail() { echo "FAIL: $*"; failed=1; }

tls_port=$((port_a + 2))
start_kit() {  # DIR PORT OTHER_PORT NICK FLOOD_LIMITS TLS_PORT
    "$serve" --name 127.0.0.1 --port "$2" --listen 127.0.0.1 --dir "$1" --link "127.0.0.1:$3" \
        --link-password s3cret-link --opponent "$opponent" --opponent-nick "$4" --flood-limits "$5" \
        --tls-port "$6" >"$1.out" 2>&1 &
}
start_kit "$work/a" "$port_a" "$port_b" Computer on "$tls_port"
kit_a=$!
start_kit "$work/b" "$port_b" "$port_a" Computer2 off 0
kit_b=$!
trap 'kill $kit_a $kit_b 2>/dev/null' EXIT

# Waits up to 30 s for a line in a file.
wait_for() {
    for _ in $(seq 300); do grep -q "$1" "$2" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}
wait_for '^ready$' "$work/a.out" || fail "the first kit is not ready: $(cat "$work/a.out")"
wait_for '^ready$' "$work/b.out" || fail "the second kit is not ready: $(cat "$work/b.out")"
wait_for "Server \"kelva$port_b.127.0.0.1\" registered" "$work/a/ngircd.log" || fail "the servers do not link"
grep -q "^MaxPenaltyTime = 0$" "$work/a/ngircd.conf" && fail "the first server should keep ngircd's flood limits"
grep -q "^MaxPenaltyTime = 0$" "$work/b/ngircd.conf" || fail "the second server should have no flood limits"
grep -q "^\[SSL\]$" "$work/b/ngircd.conf" && fail "the second server, given --tls-port 0, should not listen for TLS"

# The first server speaks TLS on its TLS port, with the certificate the kit
# made for its name.
subject=$(openssl s_client -connect "127.0.0.1:$tls_port" </dev/null 2>/dev/null | openssl x509 -noout -subject 2>/dev/null)
[[ "$subject" == *"CN = 127.0.0.1"* ]] || fail "the TLS port should present a certificate for 127.0.0.1, not: $subject"

# A player on the first server joins the game channel and reads its names.
# A computer is in the channel a moment after it says it is registered (with
# ngircd's flood limits its JOIN waits its turn), so the names are asked
# again, ten times at most, until they hold everybody.
names=""
has_all() { for nick in Computer Computer2 tester; do [[ " $names " == *" $nick "* ]] || return 1; done; }
if exec 3<>"/dev/tcp/127.0.0.1/$port_a"; then
    printf 'NICK tester\r\nUSER tester 0 * :tester\r\nJOIN #Go-Moku KELVA\r\n' >&3
    for _ in $(seq 10); do
        names=""
        while IFS= read -r -t 10 line <&3; do
            line=${line%$'\r'}
            [[ "$line" == *" 353 "* ]] && names="$names ${line##*:}"
            [[ "$line" == *" 366 "* ]] && break
        done
        has_all && break
        sleep 0.5
        printf 'NAMES #Go-Moku\r\n' >&3
    done
    exec 3>&-
fi
for nick in Computer Computer2 tester; do
    [[ " $names " == *" $nick "* ]] || fail "#Go-Moku on the first server should hold $nick; it holds:$names"
done

for kit in a b; do
    pids="$(cat "$work/$kit/ngircd.pid" "$work/$kit/opponent.pid" 2>/dev/null)"
    kit_pid=$kit_a
    [ "$kit" = b ] && kit_pid=$kit_b
    kill -TERM "$kit_pid"
    status=124
    for _ in $(seq 100); do kill -0 "$kit_pid" 2>/dev/null || { wait "$kit_pid"; status=$?; break; }; sleep 0.1; done
    [ "$status" -eq 0 ] || fail "kit $kit should end with 0 on SIGTERM, not $status"
    for pid in $pids; do kill -0 "$pid" 2>/dev/null && fail "kit $kit left process $pid running"; done
    [ -n "$pids" ] || fail "kit $kit wrote no PID files"
done
[ "$failed" -eq 0 ] && echo "serve-test: passed"
exit $failed
