#!/usr/bin/env bash
# with-hosts.sh "ADDRESS NAME"... -- COMMAND...: runs COMMAND with these
# lines added to /etc/hosts, as the programs it starts see the file: in a
# mount namespace of its own, where a copy of the file is mounted over it.
# The machine's own /etc/hosts is not touched. Exits with 77 (a skipped
# test) where a mount namespace cannot be had.
set -u
lines=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    lines+=("$1")
    shift
done
shift
hosts=$(mktemp)
trap 'rm -f "$hosts"' EXIT
{ cat /etc/hosts; printf '%s\n' "${lines[@]}"; } >"$hosts"
chmod 644 "$hosts"
if ! unshare -m sh -c "mount --bind '$hosts' /etc/hosts" 2>/dev/null; then
    echo "no mount namespace here: skipped" >&2
    exit 77
fi
unshare -m sh -c 'mount --bind "$0" /etc/hosts && exec "$@"' "$hosts" "$@"
