#!/usr/bin/env bash
# local-ircd.sh start DIR PORT [PING_TIMEOUT [PASSWORD [TLS_PORT CERT KEY]]]:
# starts ngircd on 127.0.0.1:PORT with the configuration of
# scripts/ngircd.conf.in, writes it and the server's PID to DIR, and waits
# until it accepts connections. Given TLS_PORT, it also listens there for
# TLS, with the certificate CERT and its key KEY.
# local-ircd.sh stop DIR: stops the server started there, by its PID.
set -u
here=$(cd "$(dirname "$0")" && pwd)

start() {
    local dir=$1 port=$2 ping=${3:-120} password=${4:-} tls_port=${5:-} cert=${6:-} key=${7:-}
    mkdir -p "$dir"
    stop "$dir"
    sed -e "s/@PORT@/$port/" -e "s/@PING_TIMEOUT@/$ping/" -e "s/@PASSWORD@/$password/" \
        "$here/ngircd.conf.in" >"$dir/ngircd.conf"
    [ -z "$tls_port" ] || printf '\n[SSL]\nPorts = %s\nCertFile = %s\nKeyFile = %s\n' \
        "$tls_port" "$cert" "$key" >>"$dir/ngircd.conf"
    /usr/sbin/ngircd -n -f "$dir/ngircd.conf" >"$dir/ngircd.log" 2>&1 &
    echo $! >"$dir/ngircd.pid"
    for _ in $(seq 100); do
        grep -q "Now listening on" "$dir/ngircd.log" 2>/dev/null && return 0
        kill -0 "$(cat "$dir/ngircd.pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "ngircd did not start on port $port; see $dir/ngircd.log" >&2
    cat "$dir/ngircd.log" >&2
    return 1
}

stop() {
    local pidfile=$1/ngircd.pid
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q ngircd; then
        kill "$pid"
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    fi
    rm -f "$pidfile"
    return 0
}

case "${1:-}" in
start) start "$2" "$3" "${4:-}" "${5:-}" "${6:-}" "${7:-}" "${8:-}" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start DIR PORT [PING_TIMEOUT [PASSWORD [TLS_PORT CERT KEY]]] | stop DIR" >&2; exit 2 ;;
esac
