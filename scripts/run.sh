#!/usr/bin/env bash
# Builds kelva.exe and runs it under Wine, connected by its default settings
# to the bundled local IRC server (ngircd on localhost:6667, with the game
# channel #Go-Moku), which it starts first and stops when the client ends.
# Without a display it starts Xvfb, says so, and writes a screenshot of the
# window to a path it prints.
#   scripts/run.sh [--once]    --once: stop after the screenshot
set -eu
cd "$(dirname "$0")/.."
root=$PWD
once=0
[ "${1:-}" = "--once" ] && once=1

scripts/deps.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target kelva

build=$root/build/windows
workdir=$build/run  # the client's working directory: its kelva.ini lives here
mkdir -p "$workdir"
state=$build/run-session/state
ircdir=$build/run-ircd
session=$root/tests/e2e/session.sh
ircd=$root/scripts/local-ircd.sh

kelva_pid=""
cleanup() {
    [ -n "$kelva_pid" ] && kill "$kelva_pid" 2>/dev/null
    "$session" stop "$state"
    "$ircd" stop "$ircdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if "$ircd" start "$ircdir" 6667 >/dev/null 2>&1; then
    echo "local IRC server ngircd is running on localhost:6667 (log: $ircdir/ngircd.log)"
else
    echo "could not start the local IRC server on port 6667 (is another server using it?);"
    echo "kelva.exe will connect to whatever listens there. See $ircdir/ngircd.log"
fi

"$session" start "$state" "$build/wineprefix-run" "${DISPLAY:-}" >/dev/null
# shellcheck disable=SC1090
. "$state"
[ -n "$XVFB_PID" ] && echo "no \$DISPLAY: started Xvfb on display $DISPLAY"

# Connects at start: a connection file without keys connects with the
# settings as they stand, which by default name the local server.
: >"$workdir/connect.txt"
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
