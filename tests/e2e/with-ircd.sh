#!/usr/bin/env bash
# with-ircd.sh STATE_FILE DRIVER SCENARIO: runs one driver scenario against
# a fresh local IRC server on a free loopback port; the server is stopped by
# its PID afterwards, pass or fail.
#
# The driver, a Windows program, cannot signal the server itself. It leaves
# orders as files in a directory given to it as its third argument: "pause"
# stops the server (SIGSTOP), so that it reads nothing more, "kill" ends it
# with SIGKILL, "start" starts it again on the same port.
# Each order file is answered with NAME.done once carried out.
#
# A scenario whose name begins with "tls-" gets a server that also listens
# for TLS on the next port, with the certificates of scripts/tls-certs.sh
# (made once in the build tree): at first "localhost", signed by the test
# authority. The order "cert-NAME" starts the server again with NAME.crt.
# The server asks for the password "kelva-secret". The driver finds the TLS
# port in the file "tls-port", the authority's certificate as "ca.crt" and
# each certificate's SHA-256 fingerprint as "NAME.fp" in the order directory.
set -u
state=$1 driver=$2 scenario=$3
here=$(cd "$(dirname "$0")" && pwd)
ircd="$here/../../scripts/local-ircd.sh"
dir=$(mktemp -d)
orders="$dir/orders"
mkdir -p "$orders"
orders_pid=""
trap '[ -n "$orders_pid" ] && kill "$orders_pid" 2>/dev/null; "$ircd" stop "$dir"; rm -rf "$dir"' EXIT

certs=""
cert=localhost
case $scenario in
tls-*)
    certs=$(dirname "$state")/../e2e-certs
    "$here/../../scripts/tls-certs.sh" "$certs" || exit 1
    cp "$certs/ca.crt" "$orders/ca.crt"
    for name in self self2 localhost other; do
        openssl x509 -in "$certs/$name.crt" -noout -fingerprint -sha256 | sed 's/^.*=//' >"$orders/$name.fp"
    done
    ;;
esac

# Starts the server on the port, and with certificates on the next one.
start_server() {
    if [ -n "$certs" ]; then
        "$ircd" start "$dir" "$1" 120 kelva-secret $(($1 + 1)) "$certs/$cert.crt" "$certs/$cert.key" >/dev/null 2>&1
    else
        "$ircd" start "$dir" "$1" >/dev/null 2>&1
    fi
}

port=""
for _ in 1 2 3 4 5; do
    candidate=$((20000 + RANDOM % 30000))
    if start_server "$candidate"; then
        port=$candidate
        break
    fi
done
echo $((port + 1)) >"$orders/tls-port"
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
        for order in pause kill start cert-self cert-self2 cert-localhost cert-other; do
            [ -f "$orders/$order" ] || continue
            rm -f "$orders/$order"
            case $order in
            pause) kill -STOP "$(cat "$dir/ngircd.pid")" ;;
            kill) kill_server ;;
            start) start_server "$port" ;;
            cert-*)
                cert=${order#cert-}
                "$ircd" stop "$dir"
                start_server "$port"
                ;;
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
