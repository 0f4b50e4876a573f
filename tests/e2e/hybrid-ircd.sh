#!/usr/bin/env bash
# hybrid-ircd.sh start DIR PORT: starts ircd-hybrid on 127.0.0.1:PORT with a
# configuration written here, with ping cookies on: the server registers a
# client only once it has answered the server's PING with that PING's own
# token. The server refuses to run as root, so under root it runs as the
# unprivileged user nobody. Its files go to DIR/hybrid, its PID to
# DIR/hybrid.pid.
# hybrid-ircd.sh stop DIR: stops the server started there, by its PID.
#
# Debian will not install ircd-hybrid beside ngircd, so scripts/deps.sh
# unpacks it under build/debian/ircd-hybrid. The server finds its modules
# only under /usr/lib/ircd-hybrid: it runs in a mount namespace of its own
# in which the unpacked /usr/lib lies over the system's, which needs root.
# Without root it cannot start and the script exits with 77.
set -u
scripts="$(cd "$(dirname "$0")/../.." && pwd)/scripts"
root="$(dirname "$scripts")/build/debian/ircd-hybrid"
# shellcheck source=scripts/processes.sh
. "$scripts/processes.sh"

write_config() {
    local work=$1 port=$2
    cat >"$work/ircd.conf" <<CONF
serverinfo {
    name = "hybrid.kelva.test";
    sid = "0KT";
    description = "KELVA test server";
    network_name = "kelvatest";
    network_description = "KELVA test network";
    hub = no;
    max_nick_length = 9;
};
admin { name = "KELVA test"; description = "KELVA test server"; email = "<nobody@localhost>"; };
class {
    name = "users";
    ping_time = 90 seconds;
    number_per_ip_local = 100;
    number_per_ip_global = 100;
    max_number = 100;
    sendq = 100 kbytes;
    recvq = 2560 bytes;
};
listen { host = "127.0.0.1"; port = $port; };
auth { user = "*@*"; class = "users"; };
motd { mask = "*"; file = "$work/ircd.motd"; };
general { ping_cookie = yes; disable_auth = yes; throttle_count = 100; throttle_time = 0; };
modules { path = "/usr/lib/ircd-hybrid/modules"; path = "/usr/lib/ircd-hybrid/modules/autoload"; };
log { use_logging = no; };
CONF
    echo "Welcome to the KELVA test server with ping cookies." >"$work/ircd.motd"
}

# Whether something listens on 127.0.0.1:PORT, read from the kernel's table.
listening() {
    grep -qi " 0100007F:$(printf '%04X' "$1") 00000000:0000 0A " /proc/net/tcp
}

start() {
    local dir=$1 port=$2 work=$1/hybrid
    mkdir -p "$work"
    stop "$dir"
    write_config "$work" "$port"
    if [ "$(id -u)" -ne 0 ]; then
        echo "ircd-hybrid needs root to be started here" >&2
        return 77
    fi
    chmod a+x "$dir"
    chown -R nobody "$work"
    # Each step execs the next, so that the PID is the server's own.
    unshare --mount --propagation private sh -c \
        'mount -t overlay overlay -o "lowerdir=$0/usr/lib:/usr/lib" /usr/lib && exec "$@"' "$root" \
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
        "$root/usr/sbin/ircd-hybrid" -foreground -configfile "$work/ircd.conf" -pidfile "$work/ircd.pid" \
        -logfile "$work/ircd.log" -klinefile "$work/kline.db" -dlinefile "$work/dline.db" \
        -xlinefile "$work/xline.db" -resvfile "$work/resv.db" >"$work/console.log" 2>&1 &
    local pid=$!
    echo "$pid" >"$dir/hybrid.pid"
    wait_until 10 listening_or_ended "$port" "$pid"
    listening "$port" && return 0
    echo "ircd-hybrid did not start on port $port" >&2
    cat "$work/console.log" >&2
    stop "$dir"
    return 1
}

listening_or_ended() { listening "$1" || process_ended "$2"; }

stop() { stop_pid_file "$1/hybrid.pid" ircd-hybrid; }

case "${1:-}" in
start) start "$2" "$3" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start DIR PORT | stop DIR" >&2; exit 2 ;;
esac
