#!/usr/bin/env bash
# Builds kelva.exe and runs it under Wine against the bundled local IRC
# server (ngircd on localhost:6667, and with TLS on localhost:6697, with the
# game channel #Go-Moku), which it starts first and stops when the client
# ends. The server's TLS certificate is self-signed, made once in the build
# tree (build/windows/run-certs/self.crt). Beside the server it starts two
# computer players, kelva-opponent at full strength as "Computer" and at the
# beginners' level as "Novice", and has the client join #Go-Moku at once: its
# first window is the game board with both names in the nick list.
# Without a display it starts Xvfb, says so, and writes a screenshot of the
# window to a path it prints.
#   scripts/run.sh [--chat] [--once] [--tls]
#     --chat: connect by the client's settings alone, in chat mode, without the computer players
#     --once: stop after the screenshot
#     --tls:  connect with TLS, to port 6697; the first time the client asks
#             whether to trust the server's certificate
set -eu
cd "$(dirname "$0")/.."
root=$PWD
once=0
chat=0
tls=0
for arg in "$@"; do
    case "$arg" in
    --once) once=1 ;;
    --chat) chat=1 ;;
    --tls) tls=1 ;;
    *) echo "usage: $0 [--chat] [--once] [--tls]" >&2; exit 2 ;;
    esac
done

scripts/deps.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelva
if [ "$chat" -eq 0 ]; then
    # The computer player is a native program, built optimised and without
    # the test tiers (which need GoogleTest).
    cmake --preset opponent >/dev/null
    cmake --build --preset opponent --target kelva-opponent
fi

build=$root/build/windows
workdir=$build/run  # the client's working directory: its kelva.ini lives here
mkdir -p "$workdir"
state=$build/run-session/state
ircdir=$build/run-ircd
session=$root/tests/e2e/session.sh
ircd=$root/scripts/local-ircd.sh

kelva_pid=""
opponent_pids=""
cleanup() {
    [ -n "$kelva_pid" ] && kill "$kelva_pid" 2>/dev/null
    for pid in $opponent_pids; do kill "$pid" 2>/dev/null; done
    "$session" stop "$state"
    "$ircd" stop "$ircdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

certs=$build/run-certs
"$root/scripts/tls-certs.sh" "$certs"
own_server=0
if "$ircd" start "$ircdir" 6667 120 "" "" "" 0 6697 "$certs/self.crt" "$certs/self.key" >/dev/null 2>&1; then
    own_server=1
    echo "local IRC server ngircd is running on localhost:6667, and with TLS on 6697 (log: $ircdir/ngircd.log)"
    echo "its certificate: $(openssl x509 -in "$certs/self.crt" -noout -fingerprint -sha256)"
else
    echo "could not start the local IRC server on ports 6667 and 6697 (is another server using them?);"
    echo "kelva.exe will connect to whatever listens there. See $ircdir/ngircd.log"
fi

# start_computer NICK LEVEL LOG: one computer player, in #Go-Moku before
# the client arrives there.
start_computer() {
    "$root/build/opponent/opponent/kelva-opponent" --server localhost --port 6667 --nick "$1" --level "$2" >"$3" 2>&1 &
    opponent_pids="$opponent_pids $!"
    for _ in $(seq 50); do grep -q "joining" "$3" 2>/dev/null && break; sleep 0.1; done
    echo "the computer player $1 (level $2) is in #Go-Moku (log: $3)"
}

# The computer players go only beside a server of this run's own.
if [ "$chat" -eq 0 ] && [ "$own_server" -eq 1 ]; then
    start_computer Computer 3 "$build/run-opponent.log"
    start_computer Novice 1 "$build/run-novice.log"
    sleep 0.5
fi

"$session" start "$state" "$build/wineprefix-run" "${DISPLAY:-}" >/dev/null
# shellcheck disable=SC1090
. "$state"
[ -n "$XVFB_PID" ] && echo "no \$DISPLAY: started Xvfb on display $DISPLAY"

# Connects at start. For the game, the connection file names the local
# server (the client's built-in default server, which hosts the game) and
# the game channel; for chat it has no keys, so the settings as they stand
# are used, which by default name the local server.
# With --tls it names port 6697 and TLS.
port=6667 tlsword=""
[ "$tls" -eq 0 ] || { port=6697; tlsword='TLS 1\n'; }
if [ "$chat" -eq 0 ]; then
    printf "SERVER localhost\nPORT $port\nCHANNEL #Go-Moku\n$tlsword" >"$workdir/connect.txt"
elif [ "$tls" -eq 1 ]; then
    printf "SERVER localhost\nPORT $port\n$tlsword" >"$workdir/connect.txt"
else
    : >"$workdir/connect.txt"
fi
(cd "$workdir" && exec "$WINE" "$build/kelva.exe" connect.txt >"$workdir/wine.log" 2>&1) &
kelva_pid=$!
echo "kelva.exe is running (working directory $workdir, settings in kelva.ini there)"

if [ -z "$XVFB_PID" ]; then
    wait "$kelva_pid" || true
    exit 0
fi

sleep 6
shot=$workdir/kelva-screenshot.png
import -display "$DISPLAY" -window root "$shot"
echo "screenshot of the window: $shot"
[ "$once" -eq 1 ] && exit 0
echo "press Ctrl-C to stop"
wait "$kelva_pid" || true
