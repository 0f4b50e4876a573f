#!/usr/bin/env bash
# local-ircd.sh start DIR PORT [PING_TIMEOUT [PASSWORD [NAME [LINK_NAME [LINK_PORT [TLS_PORT CERT KEY]]]]]]:
# starts ngircd on 127.0.0.1:PORT with the configuration of
# scripts/ngircd.conf.in, writes it and the server's PID to DIR, and waits
# until it accepts connections. NAME is its name in the IRC network
# (default irc.kelva.local); with LINK_NAME it is linked to that server, by
# connecting to it at LINK_PORT, or, with LINK_PORT 0, by letting it connect.
# Given TLS_PORT, it also listens there for TLS, with the certificate CERT
# and its key KEY.
# local-ircd.sh stop DIR: stops the server started there, by its PID.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/processes.sh
. "$here/processes.sh"

start() {
    local dir=$1 port=$2 ping=${3:-120} password=${4:-} name=${5:-irc.kelva.local} link_name=${6:-} link_port=${7:-0}
    local tls_port=${8:-} cert=${9:-} key=${10:-}
    mkdir -p "$dir"
    stop "$dir"
    {
        sed -e "s/@NAME@/$name/g" -e "s/@LISTEN@/127.0.0.1/" -e "s/@PORT@/$port/" \
            -e "s/@PING_TIMEOUT@/$ping/" -e "s/@PASSWORD@/$password/" "$here/ngircd.conf.in"
        if [ -n "$link_name" ]; then
            printf '\n[Server]\nName = %s\nHost = 127.0.0.1\nMyPassword = kelva-link\nPeerPassword = kelva-link\n' "$link_name"
            [ "$link_port" -eq 0 ] || printf 'Port = %s\n' "$link_port"
        fi
        [ -z "$tls_port" ] || printf '\n[SSL]\nPorts = %s\nCertFile = %s\nKeyFile = %s\nDHFile = %s\n' \
            "$tls_port" "$cert" "$key" "$dir/dh.pem"
    } >"$dir/ngircd.conf"
    # The standard group of RFC 7919, at once: without a DHFile the server
    # makes its own parameters at every start, for seconds, and on a busy
    # machine for longer than a test waits.
    [ -z "$tls_port" ] || openssl genpkey -genparam -algorithm DH -pkeyopt group:ffdhe2048 -out "$dir/dh.pem" || return 1
    /usr/sbin/ngircd -n -f "$dir/ngircd.conf" >"$dir/ngircd.log" 2>&1 &
    local pid=$!
    echo "$pid" >"$dir/ngircd.pid"
    wait_until 10 listening_or_ended "$dir/ngircd.log" "$pid" "$port" $tls_port
    listening "$dir/ngircd.log" "$port" $tls_port && return 0
    echo "ngircd did not start on port $port; see $dir/ngircd.log" >&2
    cat "$dir/ngircd.log" >&2
    stop "$dir"
    return 1
}

# Whether the server's log says that it listens on each of the ports.
listening() {  # LOG PORT...
    local log=$1 port
    shift
    for port in "$@"; do grep -q "Now listening on \[127.0.0.1\]:$port " "$log" 2>/dev/null || return 1; done
}

listening_or_ended() {  # LOG PID PORT...
    local log=$1 pid=$2
    shift 2
    listening "$log" "$@" || process_ended "$pid"
}

stop() { stop_pid_file "$1/ngircd.pid" ngircd; }

case "${1:-}" in
start) shift; start "$@" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start DIR PORT [PING_TIMEOUT [PASSWORD [NAME [LINK_NAME [LINK_PORT [TLS_PORT CERT KEY]]]]]] | stop DIR" >&2; exit 2 ;;
esac
