#!/usr/bin/env bash
# wine-run.sh STATE_FILE PROGRAM [ARGS...]: runs a Windows program in the
# session that session.sh started, prints what it printed and returns its
# exit code.
set -u
state=$1
shift
# shellcheck disable=SC1090
. "$state" || { echo "no end-to-end session: $state" >&2; exit 1; }
# Wine's own helpers (the desktop, services) outlive the program and inherit
# its output; they get a file rather than ctest's pipe, which would otherwise
# stay open until the session ends.
log=$(mktemp)
# A Western locale, whatever the machine's: Windows' code page is then 1252,
# under which the ANSI functions would show and send text in other scripts
# wrongly (the chat scenario checks that it is so). Wine takes it from the
# variables even where the C library lacks the locale.
env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$WINE" "$@" >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc
