#!/usr/bin/env bash
# pose.sh COMMAND...: sets the scene of two clients chatting on a local IRC
# server under Xvfb, runs COMMAND with POSE_DISPLAY, POSE_PLACE (the main
# window's "left top width height") and POSE_PIDS (the Linux PIDs of the
# clients) in its environment, then ends the scene. Used by the screenshots
# and the idle-CPU benchmark.
# POSE_SCENE=pose-game sets a finished game instead of the chat.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
state=$build/pose-session/state
ircdir=$build/pose-ircd
scene=${POSE_SCENE:-pose}
posedir=$build/e2e-work/$scene
session=$root/tests/e2e/session.sh
ircd=$root/scripts/local-ircd.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target kelva kelva_driver >/dev/null

driver_pid=""
cleanup() {
    mkdir -p "$posedir" && : >"$posedir/done.txt"
    [ -n "$driver_pid" ] && wait "$driver_pid" 2>/dev/null
    "$session" stop "$state"
    "$ircd" stop "$ircdir"
}
trap cleanup EXIT

port=$((20000 + RANDOM % 30000))
"$ircd" start "$ircdir" "$port" >/dev/null
"$session" start "$state" "$build/wineprefix" >/dev/null
rm -rf "$posedir"
"$root/tests/e2e/wine-run.sh" "$state" "$build/kelva_driver.exe" "$scene" "$port" &
driver_pid=$!
for _ in $(seq 600); do [ -f "$posedir/ready.txt" ] && break; sleep 0.1; done
[ -f "$posedir/ready.txt" ] || { echo "the scene was not set" >&2; exit 1; }

# shellcheck disable=SC1090
. "$state"
# Only the clients of this scene: other kelva.exe processes on the machine
# run in Wine prefixes of their own.
pids=""
for p in /proc/[0-9]*; do
    tr '\0' ' ' 2>/dev/null <"$p/cmdline" | grep -q 'kelva\.exe' || continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && pids="$pids ${p#/proc/}"
done
POSE_DISPLAY=$DISPLAY POSE_PLACE=$(cat "$posedir/ready.txt") POSE_PIDS=$pids \
    POSE_WINESERVER=$WINESERVER_PID "$@"
