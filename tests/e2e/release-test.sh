#!/usr/bin/env bash
# The release packages, used as a person would, by the driver's scenarios.
#   release-test.sh installer BUILD_DIR DRIVER
#     The installer's scenario in a Wine prefix made fresh for it, with a
#     display and wineserver of its own. Once they are stopped, the prefix
#     must hold nothing of the program's but the settings it kept: no other
#     new file, no registry entry.
#   release-test.sh portable-zip STATE_FILE ZIP DRIVER
#     The portable zip unpacked into an empty folder of the build tree (the
#     zip's folder), its scenario run in the shared end-to-end session.
#   release-test.sh default-server STATE_FILE DRIVER
#     scripts/release.sh --default-server LocalHost: both packages carry the
#     name, README.txt names it, and the portable zip, unpacked beside the
#     driver, is run in the shared session against a local server.
set -u
here=$(cd "$(dirname "$0")" && pwd)

# The files of a prefix, less the temporary ones.
snapshot() {
    (cd "$1" && find . \( -type f -o -type l \) ! -path './drive_c/users/*/Temp/*' | sort)
}

installer() {
    local build=$1 driver=$2
    local dir=$build/e2e-installer
    local state=$dir/state prefix=$dir/wineprefix
    "$here/session.sh" stop "$state"
    rm -rf "$prefix"
    mkdir -p "$dir"
    # shellcheck disable=SC2064 # stops this session, whatever ends the script
    trap "'$here/session.sh' stop '$state'" EXIT
    timeout 150 "$here/session.sh" start "$state" "$prefix" || return 1
    snapshot "$prefix" >"$dir/files-before"

    local status=0
    "$here/with-ircd.sh" "$state" "$driver" installed-program || status=1
    # Ends every process left in the prefix and writes its registry out.
    "$here/session.sh" stop "$state"

    snapshot "$prefix" >"$dir/files-after"
    local added
    added=$(comm -13 "$dir/files-before" "$dir/files-after")
    if ! [[ "$added" =~ ^\./drive_c/users/[^/]+/AppData/Roaming/KELVA/kelva\.ini$ ]]; then
        echo "FAIL: after uninstalling, the prefix should have gained kelva.ini alone; new files:"
        echo "$added"
        status=1
    fi
    if grep -il kelva "$prefix"/*.reg; then
        echo "FAIL: after uninstalling, the registry files above still name KELVA"
        status=1
    fi
    return $status
}

portable_zip() {
    local state=$1 zip=$2 driver=$3
    local dir
    dir=$(dirname "$zip")/e2e-work/portable-zip/$(basename "$zip" .zip)
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && cmake -E tar xf "$zip") || return 1
    "$here/with-ircd.sh" "$state" "$driver" portable-zip
}

# The name reaches this machine as "localhost" does (the hosts file is read
# without regard to case), yet is not the client's usual default server.
release_server=LocalHost

default_server() {
    local state=$1 driver=$2
    local root build dir
    root=$(cd "$here/../.." && pwd)
    build=$root/build/release-$release_server
    "$root/scripts/release.sh" --default-server "$release_server" || return 1
    local zips=("$build"/KELVA-*-"$release_server"-win64.zip) setups=("$build"/KELVA-*-"$release_server"-win64-setup.exe)
    [ -f "${zips[0]}" ] && [ -f "${setups[0]}" ] ||
        { echo "FAIL: the packages' names should carry $release_server:"; ls "$build"; return 1; }
    dir=$(dirname "$driver")/e2e-work/default-server
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && cmake -E tar xf "${zips[0]}") || return 1
    grep -q "($release_server in this build)" "$dir/README.txt" ||
        { echo "FAIL: README.txt should name the default server $release_server"; return 1; }
    "$here/with-ircd.sh" "$state" "$driver" default-server-release
}

case "${1:-}" in
installer) installer "$2" "$3" ;;
portable-zip) portable_zip "$2" "$3" "$4" ;;
default-server) default_server "$2" "$3" ;;
*) echo "usage: $0 installer BUILD_DIR DRIVER | portable-zip STATE_FILE ZIP DRIVER | default-server STATE_FILE DRIVER" >&2
   exit 2 ;;
esac
