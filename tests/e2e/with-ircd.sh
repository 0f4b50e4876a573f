#!/usr/bin/env bash
# with-ircd.sh STATE_FILE DRIVER SCENARIO [PING_TIMEOUT]: runs one driver
# scenario against a fresh local IRC server on a free loopback port, which
# pings a silent user after PING_TIMEOUT seconds (120 when not given); the
# server is stopped by its PID afterwards, pass or fail.
#
# The driver, a Windows program, cannot signal the server itself. It leaves
# orders as files in a directory given to it as its third argument: "pause"
# stops the server (SIGSTOP), so that it reads nothing more, "kill" ends it
# with SIGKILL, "start" starts it again on the same port.
# Each order file is answered with NAME.done once carried out.
set -u
state=$1 driver=$2 scenario=$3 ping_timeout=${4:-120}
here=$(cd "$(dirname "$0")" && pwd)
ircd="$here/../../scripts/local-ircd.sh"
dir=$(mktemp -d)
orders="$dir/orders"
mkdir -p "$orders"
orders_pid=""
trap '[ -n "$orders_pid" ] && kill "$orders_pid" 2>/dev/null; "$ircd" stop "$dir"; rm -rf "$dir"' EXIT

port=""
for _ in 1 2 3 4 5; do
    candidate=$((20000 + RANDOM % 30000))
    if "$ircd" start "$dir" "$candidate" "$ping_timeout" >/dev/null 2>&1; then
        port=$candidate
        break
    fi
done
[ -n "$port" ] || { echo "could not start the test IRC server" >&2; exit 1; }

kill_server() {
    local pid
    pid=$(cat "$dir/ngircd.pid" 2>/dev/null) || return 0
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q ngircd; then
        kill -9 "$pid"
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$dir/ngircd.pid"
}

serve_orders() {
    while :; do
        for order in pause kill start; do
            [ -f "$orders/$order" ] || continue
            rm -f "$orders/$order"
            case $order in
            pause) kill -STOP "$(cat "$dir/ngircd.pid")" ;;
            kill) kill_server ;;
            start) "$ircd" start "$dir" "$port" "$ping_timeout" >/dev/null 2>&1 ;;
            esac
            : >"$orders/$order.done"
        done
        sleep 0.1
    done
}
serve_orders &
orders_pid=$!

# The order directory as the driver sees it, through Wine's drive Z:.
windows_orders="Z:${orders//\//\\}"
# Bounded below ctest's own timeout, so that the server is always stopped here.
timeout 100 "$here/wine-run.sh" "$state" "$driver" "$scenario" "$port" "$windows_orders"
