#!/usr/bin/env bash
# repeat-tests.sh N: builds the native preset and runs the integration tier
# N times, as scripts/test.sh runs it (two tests at once), while a busy loop
# holds one core; then prints how many runs passed and which tests failed,
# how often. Each run's output is kept in build/native/repeat-tests/.
# A test that fails here under load is a test to mend: a wait that does not
# wait for the event it needs.
set -u
cd "$(dirname "$0")/.."
runs=${1:-}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 N (the number of runs)" >&2; exit 2; }

scripts/deps.sh test || exit 1
cmake --preset native >/dev/null && cmake --build --preset native >/dev/null || { echo "the native build failed" >&2; exit 1; }

logs=build/native/repeat-tests
rm -rf "$logs"
mkdir -p "$logs"

# The busy loop, stopped by its PID however this script ends.
busy_pid=""
trap '[ -z "$busy_pid" ] || kill "$busy_pid" 2>/dev/null' EXIT
trap 'exit 130' INT TERM
while :; do :; done &
busy_pid=$!

# The integration tier fails, rather than skips, without its server.
export KELVA_REQUIRE_SERVER=1
passed=0
for run in $(seq "$runs"); do
    log=$logs/run-$run.log
    if ctest --preset native -L integration -j2 >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "run $run: passed"
    else
        # ctest's closing list: "  186 - integration.X.Y (Failed)".
        failed=$(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9][0-9]* - \([^ ]*\) (.*$/\1/p' "$log")
        echo "run $run: FAILED:" $failed
        printf '%s\n' $failed >>"$logs/failed.txt"
    fi
done

echo "$passed of $runs runs passed (integration tier, one core held busy; logs in $logs)"
if [ -s "$logs/failed.txt" ]; then
    echo "failed tests, with the number of runs each failed in:"
    sort "$logs/failed.txt" | uniq -c | sort -rn
fi
[ "$passed" -eq "$runs" ]
