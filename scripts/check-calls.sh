#!/usr/bin/env bash
# check-calls.sh OBJECT...: fails when the source files behind the objects
# call each other in a ring. A file uses another when it refers to a symbol
# (a function or a variable) that the other defines; the uses must go one
# way, so that each file can be read, and changed, after the ones below it.
# Prints each ring with the uses that close it.
set -eu -o pipefail
[ $# -gt 0 ] || { echo "usage: $0 OBJECT..." >&2; exit 2; }

# One line per symbol: "D file symbol" where a file defines it (functions,
# data, read-only data; not the weak copies of inline functions that every
# user has), "U file symbol" where a file needs it from elsewhere.
symbols() {
    for object in "$@"; do
        name=$(basename "$object" .o)
        name=${name%.cpp}
        dir=$(basename "$(dirname "$object")")
        nm -P "$object" | awk -v f="$dir/$name" '
            $2 ~ /^[TDBR]$/ { print "D", f, $1 }
            $2 == "U"       { print "U", f, $1 }'
    done
}

symbols "$@" | awk '
    $1 == "D" { owner[$3] = $2; files[$2] = 1; next }
    { need[++n] = $2 " " $3; files[$2] = 1 }
    END {
        for (i = 1; i <= n; ++i) {
            split(need[i], p, " ")
            to = owner[p[2]]
            if (to == "" || to == p[1]) continue
            if (!((p[1], to) in reach)) why[p[1], to] = p[2]
            reach[p[1], to] = 1
        }
        # Reachability over every file (a few dozen: the cube is cheap).
        for (k in files) for (a in files) if ((a, k) in reach)
            for (b in files) if ((k, b) in reach) closure[a, b] = 1
        for (a in files) for (b in files) if ((a, b) in reach) closure[a, b] = 1
        rings = 0
        for (a in files) for (b in files)
            if (a < b && ((a, b) in closure) && ((b, a) in closure)) {
                printf "ring: %s and %s reach each other\n", a, b
                rings = 1
            }
        for (key in why) {
            split(key, e, SUBSEP)
            if (((e[2], e[1]) in closure)) printf "  %s uses %s: %s\n", e[1], e[2], why[key]
        }
        if (rings) exit 1
        printf "no rings among %d files\n", length(files)
    }' | c++filt
