#!/usr/bin/env bash
# with-ircd.sh STATE_FILE DRIVER SCENARIO: runs one driver scenario against a
# fresh local IRC server on a free loopback port; the server is stopped by
# its PID afterwards, pass or fail.
set -u
state=$1 driver=$2 scenario=$3
here=$(cd "$(dirname "$0")" && pwd)
ircd="$here/../../scripts/local-ircd.sh"
dir=$(mktemp -d)
trap '"$ircd" stop "$dir"; rm -rf "$dir"' EXIT

port=""
for _ in 1 2 3 4 5; do
    candidate=$((20000 + RANDOM % 30000))
    if "$ircd" start "$dir" "$candidate" >/dev/null 2>&1; then
        port=$candidate
        break
    fi
done
[ -n "$port" ] || { echo "could not start the test IRC server" >&2; exit 1; }
# Bounded below ctest's own timeout, so that the server is always stopped here.
timeout 100 "$here/wine-run.sh" "$state" "$driver" "$scenario" "$port"
