#!/usr/bin/env bash
# Builds kelva.exe and runs it under Wine. Without a display it starts Xvfb,
# says so, and writes a screenshot of the window to a path it prints.
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
workdir=$build/run  # kelva.ini lives here
mkdir -p "$workdir"
state=$build/run-session/state
session=$root/tests/e2e/session.sh

kelva_pid=""
cleanup() {
    [ -n "$kelva_pid" ] && kill "$kelva_pid" 2>/dev/null
    "$session" stop "$state"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "${DISPLAY:-}" ]; then
    "$session" start "$state" "$build/wineprefix-run" "$DISPLAY" >/dev/null
else
    "$session" start "$state" "$build/wineprefix-run" >/dev/null
    # shellcheck disable=SC1090
    . "$state"
    echo "no \$DISPLAY: started Xvfb on display $DISPLAY"
fi
# shellcheck disable=SC1090
. "$state"

(cd "$workdir" && exec "$WINE" "$build/kelva.exe" >"$workdir/wine.log" 2>&1) &
kelva_pid=$!
echo "kelva.exe is running (settings in $workdir/kelva.ini)"

if [ -z "$XVFB_PID" ]; then
    wait "$kelva_pid" || true
    exit 0
fi

sleep 5
shot=$workdir/kelva-screenshot.png
import -display "$DISPLAY" -window root "$shot"
echo "screenshot of the window: $shot"
[ "$once" -eq 1 ] && exit 0
echo "press Ctrl-C to stop"
wait "$kelva_pid" || true
