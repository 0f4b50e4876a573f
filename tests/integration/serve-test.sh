#!/usr/bin/env bash
# The server kit: two kits on this machine, on loopback ports of their own
# and folders of their own, linked to each other, the second without flood
# limits. Each says "ready"; a player on the first finds both computers in
# "#Go-Moku"; SIGTERM stops each kit with its server and computer.
#   serve-test.sh WORK_DIR OPPONENT_PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/processes.sh
. "$here/../../scripts/processes.sh"
serve=$here/../../scripts/serve.sh
work=$1 opponent=$2
rm -rf "$work"
mkdir -p "$work"
port_a=$(random_server_port)
port_b=$((port_a + 1))
failed=0
fail() { echo "FAIL: $*"; failed=1; }

tls_port=$((port_a + 2))
start_kit() {  # DIR PORT OTHER_PORT NICK FLOOD_LIMITS TLS_PORT
    "$serve" --name 127.0.0.1 --port "$2" --listen 127.0.0.1 --dir "$1" --link "127.0.0.1:$3" \
        --link-password s3cret-link --opponent "$opponent" --opponent-nick "$4" --flood-limits "$5" \
        --tls-port "$6" >"$1.out" 2>&1 &
}
kit_a="" kit_b=""
trap 'kill $kit_a $kit_b 2>/dev/null' EXIT
# Waits up to 30 s for a line in a file.
wait_for() { wait_until 30 grep -q "$1" "$2"; }
# The second kit makes the link (its name is the greater), so the first is
# listening before it starts: otherwise ngircd tries again only some 25 s
# later.
start_kit "$work/a" "$port_a" "$port_b" Computer on "$tls_port"
kit_a=$!
wait_for '^ready$' "$work/a.out" || fail "the first kit is not ready: $(cat "$work/a.out")"
start_kit "$work/b" "$port_b" "$port_a" Computer2 off 0
kit_b=$!
wait_for '^ready$' "$work/b.out" || fail "the second kit is not ready: $(cat "$work/b.out")"
wait_for "Server \"kelva$port_b.127.0.0.1\" registered" "$work/a/ngircd.log" || fail "the servers do not link"
grep -q "^MaxPenaltyTime = 0$" "$work/a/ngircd.conf" && fail "the first server should keep ngircd's flood limits"
grep -q "^MaxPenaltyTime = 0$" "$work/b/ngircd.conf" || fail "the second server should have no flood limits"
grep -q "^\[SSL\]$" "$work/b/ngircd.conf" && fail "the second server, given --tls-port 0, should not listen for TLS"

# The first server speaks TLS on its TLS port, with the certificate the kit
# made for its name.
subject=$(openssl s_client -connect "127.0.0.1:$tls_port" </dev/null 2>/dev/null | openssl x509 -noout -subject 2>/dev/null)
[[ "$subject" == *"CN = 127.0.0.1"* ]] || fail "the TLS port should present a certificate for 127.0.0.1, not: $subject"

# A player on the first server joins the game channel: the names reply
# lists who is in it, and each who comes later arrives as a JOIN (with
# ngircd's flood limits a computer's JOIN waits its turn after it says it is
# registered). Read for up to 30 s, until everybody is there.
names=""
has_all() { for nick in Computer Computer2 tester; do [[ " $names " == *" $nick "* ]] || return 1; done; }
if exec 3<>"/dev/tcp/127.0.0.1/$port_a"; then
    printf 'NICK tester\r\nUSER tester 0 * :tester\r\nJOIN #Go-Moku KELVA\r\n' >&3
    deadline=$((SECONDS + 30))
    while ! has_all && [ "$SECONDS" -lt "$deadline" ] && IFS= read -r -t $((deadline - SECONDS)) line <&3; do
        line=${line%$'\r'}
        [[ "$line" == *" 353 "* ]] && names="$names ${line##*:}"
        [[ "$line" =~ ^:([^!]+)!.*\ JOIN\ :?#Go-Moku ]] && names="$names ${BASH_REMATCH[1]}"
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
    wait_until 10 process_ended "$kit_pid" && { wait "$kit_pid"; status=$?; }
    [ "$status" -eq 0 ] || fail "kit $kit should end with 0 on SIGTERM, not $status"
    for pid in $pids; do kill -0 "$pid" 2>/dev/null && fail "kit $kit left process $pid running"; done
    [ -n "$pids" ] || fail "kit $kit wrote no PID files"
done
[ "$failed" -eq 0 ] && echo "serve-test: passed"
exit $failed
