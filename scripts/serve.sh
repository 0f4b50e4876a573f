#!/usr/bin/env bash
# A KELVA game server on a Linux host: ngircd with the game channel
# "#Go-Moku" (key KELVA) and "#lobby", and the computer player in "#Go-Moku".
# Prints one line "ready" once both are up; Ctrl-C or SIGTERM stops both.
# Configuration and logs go to one folder. See docs/hosting.md.
#   scripts/serve.sh [--name HOST] [--port N] [--tls-port N] [--tls-cert FILE --tls-key FILE] [--dir DIR]
#                    [--link HOST:PORT --link-password WORD] [--listen ADDRESSES]
#                    [--flood-limits on|off] [--max-games N] [--opponent-nick NICK]
#                    [--opponent PROGRAM] [--config-only]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/processes.sh
. "$root/scripts/processes.sh"

usage() {
    cat >&2 <<'EOF'
usage: scripts/serve.sh [options]
  --name HOST            the server's host name, as players enter it (default: this machine's)
  --port N               the port for players (default 6667)
  --tls-port N           the port for players with TLS (default 6697; 0 for none)
  --tls-cert FILE        the group's certificate for --name (PEM; default: one the kit makes
                         once, self-signed, in DIR)
  --tls-key FILE         its private key (PEM)
  --dir DIR              configuration and logs (default build/serve)
  --link HOST:PORT       links to another server of this kit, started with --name HOST --port PORT
  --link-password WORD   the password both linked servers are given (letters, digits, . _ -)
  --listen ADDRESSES     the addresses to listen on, comma-separated (default 0.0.0.0: all)
  --flood-limits on|off  off lifts ngircd's hold on connections that send fast, for everybody
                         (default on; see docs/hosting.md)
  --max-games N          games the computer plays at once (default 32)
  --opponent-nick NICK   the computer's nickname (default Computer)
  --opponent PROGRAM     a kelva-opponent already built (default: built here with the opponent preset)
  --config-only          writes DIR/ngircd.conf and stops, for a server run by systemd
EOF
    exit 2
}

refuse() { echo "serve.sh: $*" >&2; exit 2; }

name=$(hostname -f 2>/dev/null || hostname)
port=6667
tls_port=6697
tls_cert=""
tls_key=""
dir=$root/build/serve
link=""
link_password=""
listen=0.0.0.0
flood_limits=on
max_games=""
opponent_nick=Computer
opponent=""
config_only=0
while [ $# -gt 0 ]; do
    case "$1" in
    --config-only) config_only=1; shift; continue ;;
    --help | -h) usage ;;
    --name | --port | --tls-port | --tls-cert | --tls-key | --dir | --link | --link-password | --listen | --flood-limits | --max-games | \
        --opponent-nick | --opponent)
        [ $# -ge 2 ] || refuse "a value is missing after $1" ;;
    *) echo "serve.sh: unknown option $1" >&2; usage ;;
    esac
    case "$1" in
    --name) name=$2 ;;
    --port) port=$2 ;;
    --tls-port) tls_port=$2 ;;
    --tls-cert) tls_cert=$2 ;;
    --tls-key) tls_key=$2 ;;
    --dir) dir=$2 ;;
    --link) link=$2 ;;
    --link-password) link_password=$2 ;;
    --listen) listen=$2 ;;
    --flood-limits) flood_limits=$2 ;;
    --max-games) max_games=$2 ;;
    --opponent-nick) opponent_nick=$2 ;;
    --opponent) opponent=$2 ;;
    esac
    shift 2
done

is_port() { [[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le 65535 ]; }
is_host() { [[ "$1" =~ ^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$ ]]; }

is_host "$name" || refuse "not a host name: $name"
is_port "$port" || refuse "not a port: $port"
[ "$tls_port" = 0 ] || is_port "$tls_port" || refuse "not a port: $tls_port"
[ "$tls_port" != "$port" ] || refuse "--tls-port must differ from --port"
{ [ -z "$tls_cert" ] && [ -z "$tls_key" ]; } || { [ -f "$tls_cert" ] && [ -f "$tls_key" ]; } ||
    refuse "--tls-cert and --tls-key name the certificate and its key, both files"
[[ "$listen" =~ ^[0-9A-Fa-f.:,]+$ ]] || refuse "not a list of addresses: $listen"
[[ "$flood_limits" =~ ^(on|off)$ ]] || refuse "--flood-limits is on or off, not $flood_limits"
if [ -n "$link" ]; then
    link_host=${link%:*}
    link_port=${link##*:}
    { [ "$link_host" != "$link" ] && is_host "$link_host" && is_port "$link_port"; } || refuse "not HOST:PORT: $link"
    [[ "$link_password" =~ ^[A-Za-z0-9._-]+$ ]] || refuse "--link needs --link-password WORD (letters, digits, . _ -)"
elif [ -n "$link_password" ]; then
    refuse "--link-password belongs to --link"
fi

# A server's name in the IRC network must hold a dot and differ from every
# other's; two servers of the kit may share a host, never a port on it. So
# the name is made of both, and --link HOST:PORT names the other server too.
irc_name() { echo "kelva$2.$1"; }

# The other server, when linked. Only one of the two makes the link, the one
# with the greater name: ngircd can fail when both connect at the same time.
link_section() {
    local own other
    own=$(irc_name "$name" "$port")
    other=$(irc_name "$link_host" "$link_port")
    printf '\n[Server]\nName = %s\nHost = %s\nPort = %s\nMyPassword = %s\nPeerPassword = %s\n' \
        "$other" "$link_host" "$link_port" "$link_password" "$link_password"
    [[ "$own" > "$other" ]] || printf 'Passive = yes\n'
}

# The certificate of the TLS port: the group's, or one made once for --name,
# self-signed (players then trust it on purpose: see docs/hosting.md).
tls_section() {
    local cert=$tls_cert key=$tls_key
    if [ -z "$cert" ]; then
        cert=$dir/server.crt key=$dir/server.key
        [ -f "$cert" ] || openssl req -x509 -newkey rsa:2048 -nodes -keyout "$key" -out "$cert" -days 3650 \
            -subj "/CN=$name" -addext "subjectAltName=DNS:$name" 2>/dev/null || return 1
    fi
    # The standard group of RFC 7919: without a DHFile the server makes its
    # own parameters at every start, which takes seconds, more on a busy host.
    [ -f "$dir/dh.pem" ] || openssl genpkey -genparam -algorithm DH -pkeyopt group:ffdhe2048 -out "$dir/dh.pem" ||
        return 1
    printf '\n[SSL]\nPorts = %s\nCertFile = %s\nKeyFile = %s\nDHFile = %s\n' "$tls_port" "$cert" "$key" "$dir/dh.pem"
}

write_config() {
    mkdir -p "$dir" || return 1
    local tls=""
    if [ "$tls_port" != 0 ]; then tls=$(tls_section) || return 1; fi
    # Without flood limits no connection is ever held back ([Limits]: no
    # penalty time at all).
    local limits=120
    [ "$flood_limits" = on ] || limits='120\nMaxPenaltyTime = 0'
    {
        sed -e "s/@NAME@/$(irc_name "$name" "$port")/g" -e "s/@LISTEN@/$listen/" -e "s/@PORT@/$port/" \
            -e "s/@PING_TIMEOUT@/$limits/" -e "s/@PASSWORD@//" "$root/scripts/ngircd.conf.in"
        [ -z "$link" ] || link_section
        [ -z "$tls" ] || printf '%s\n' "$tls"
    } >"$dir/ngircd.conf"
}

write_config || refuse "cannot write $dir/ngircd.conf"
if [ "$config_only" -eq 1 ]; then
    echo "$dir/ngircd.conf"
    exit 0
fi

"$root/scripts/deps.sh" serve || exit 1
if [ -z "$opponent" ]; then
    (cd "$root" && cmake --preset opponent >/dev/null && cmake --build --preset opponent --target kelva-opponent >/dev/null) ||
        refuse "the computer player did not build"
    opponent=$root/build/opponent/opponent/kelva-opponent
fi

ircd_pid=""
opponent_pid=""
stop_all() {
    stop_pid_file "$dir/opponent.pid" "$(basename "$opponent")"
    stop_pid_file "$dir/ngircd.pid" ngircd
}
trap 'stop_all; exit 0' INT TERM

# Waits up to 10 s for a line in a log while the process writing it lives.
wait_for_log() {  # TEXT LOG PID
    wait_until 10 logged_or_ended "$@" && grep -q "$1" "$2"
}
logged_or_ended() { grep -q "$1" "$2" 2>/dev/null || process_ended "$3"; }

# Gives up the start: the end of the log that says why, and both children
# stopped.
give_up() {  # WHAT LOG
    echo "$1; the end of $2:" >&2
    tail -n 15 "$2" >&2
    stop_all
    exit 1
}

/usr/sbin/ngircd -n -f "$dir/ngircd.conf" >"$dir/ngircd.log" 2>&1 &
ircd_pid=$!
echo "$ircd_pid" >"$dir/ngircd.pid"
wait_for_log "Now listening on" "$dir/ngircd.log" "$ircd_pid" || give_up "ngircd did not start" "$dir/ngircd.log"

# The computer connects through the first address listened on, or through
# loopback when that is every address.
opponent_host=${listen%%,*}
[[ "$opponent_host" == 0.0.0.0 || "$opponent_host" == :: ]] && opponent_host=127.0.0.1
"$opponent" --server "$opponent_host" --port "$port" --nick "$opponent_nick" ${max_games:+--max-games "$max_games"} \
    >"$dir/opponent.log" 2>&1 &
opponent_pid=$!
echo "$opponent_pid" >"$dir/opponent.pid"
wait_for_log "registered as" "$dir/opponent.log" "$opponent_pid" ||
    give_up "the computer player did not join" "$dir/opponent.log"

echo "$(irc_name "$name" "$port") on port $port; logs in $dir"
echo ready
# Either child ending on its own is a fault: the other is stopped too.
wait -n "$ircd_pid" "$opponent_pid"
echo "serve.sh: $( kill -0 "$ircd_pid" 2>/dev/null && echo "the computer player" || echo "ngircd") ended; stopping" >&2
stop_all
exit 1
