#!/usr/bin/env bash
# with-ircd.sh STATE_FILE DRIVER SCENARIO [hybrid|--linked|PING_TIMEOUT]: runs
# one driver scenario against a fresh local IRC server on a free loopback
# port, ngircd or, with "hybrid", ircd-hybrid; the server is stopped by its
# PID afterwards, pass or fail. Exits with 77 when the server cannot be
# started on this machine. With --linked, a second ngircd is linked to the
# first, and the driver is given its port after the order directory. Given
# PING_TIMEOUT, ngircd pings a silent user after that many seconds, not 120.
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
state=$1 driver=$2 scenario=$3 option=${4:-}
ping_timeout=120
case $option in [0-9]*) ping_timeout=$option ;; esac
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/processes.sh
. "$here/../../scripts/processes.sh"
ircd="$here/../../scripts/local-ircd.sh"
[ "$option" = hybrid ] && ircd="$here/hybrid-ircd.sh"
dir=$(mktemp -d)
orders="$dir/orders"
mkdir -p "$orders"
orders_pid=""
trap '[ -n "$orders_pid" ] && kill "$orders_pid" 2>/dev/null; "$ircd" stop "$dir/second"; "$ircd" stop "$dir"; rm -rf "$dir"' EXIT

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

# Starts the first server on the port: with --linked, letting the second,
# irc2.kelva.local, link to it; for a TLS scenario with the password and the
# current certificate on the next port.
start_server() {
    local args=("$ping_timeout")
    [ "$option" = hybrid ] && args=()
    [ "$option" = --linked ] && args=("$ping_timeout" "" irc.kelva.local irc2.kelva.local 0)
    [ -n "$certs" ] && args=("$ping_timeout" kelva-secret irc.kelva.local "" 0 $(($1 + 1)) "$certs/$cert.crt" "$certs/$cert.key")
    "$ircd" start "$dir" "$1" "${args[@]}"
}

# Starts a server on a free port with the given start command; sets port.
# Exits with 77 when the server cannot run on this machine.
start_on_free_port() {
    port=""
    for _ in 1 2 3 4 5; do
        candidate=$(random_server_port)
        "$@" "$candidate" >"$dir/start.log" 2>&1
        case $? in
        0) port=$candidate; return 0 ;;
        77) cat "$dir/start.log" >&2; exit 77 ;;
        esac
    done
    return 1
}

start_second_server() {
    "$ircd" start "$dir/second" "$1" "$ping_timeout" "" irc2.kelva.local irc.kelva.local "$first_port"
}

start_on_free_port start_server || { echo "could not start the test IRC server" >&2; exit 1; }
echo $((port + 1)) >"$orders/tls-port"
second_port=""
if [ "$option" = --linked ]; then
    first_port=$port
    start_on_free_port start_second_server || { echo "could not start the second test IRC server" >&2; exit 1; }
    second_port=$port
    port=$first_port
    wait_until 10 grep -q 'Server "irc2.kelva.local" registered' "$dir/ngircd.log" ||
        { echo "the two test IRC servers did not link" >&2; cat "$dir/ngircd.log" "$dir/second/ngircd.log" >&2; exit 1; }
fi

# The server stops reading: the order is done once it is stopped.
pause_server() {
    local pid
    pid=$(cat "$dir/ngircd.pid") && kill -STOP "$pid" && wait_until 5 process_stopped "$pid"
}

serve_orders() {
    while :; do
        for order in pause kill start cert-self cert-self2 cert-localhost cert-other; do
            [ -f "$orders/$order" ] || continue
            rm -f "$orders/$order"
            # Done only when carried out; otherwise the driver reports the
            # order as not carried out, and why is told here.
            case $order in
            pause) pause_server ;;
            kill) stop_pid_file "$dir/ngircd.pid" ngircd KILL ;;
            start) start_server "$port" >"$dir/start.log" 2>&1 ;;
            cert-*)
                cert=${order#cert-}
                "$ircd" stop "$dir"
                start_server "$port" >"$dir/start.log" 2>&1
                ;;
            esac && : >"$orders/$order.done" ||
                echo "with-ircd.sh: the order \"$order\" failed; the last start said: $(cat "$dir/start.log" 2>/dev/null)" >&2
        done
        sleep 0.1
    done
}
serve_orders &
orders_pid=$!

# The order directory as the driver sees it, through Wine's drive Z:.
windows_orders="Z:${orders//\//\\}"
# Bounded below ctest's own timeout, so that the server is always stopped here.
timeout 100 "$here/wine-run.sh" "$state" "$driver" "$scenario" "$port" "$windows_orders" $second_port
