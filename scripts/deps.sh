#!/usr/bin/env bash
# deps.sh test|run|release|bench|opponent|serve: installs, through apt-get,
# the Debian packages that the test, run, release or benchmark command (or
# the computer player alone, or the server kit) needs and that are not
# installed yet. Quick when everything is there.
#
# A package that Debian will not install beside another one we need (the
# second IRC server of the tests conflicts with ngircd) is fetched with
# apt-get download and unpacked under build/debian/NAME instead; its
# libraries are installed as usual.
#
# Debian starts the system service of a server it installs (ngircd and
# InspIRCd on port 6667, where the run command's server listens, and Atheme
# beside them). Nothing here wants them: the scripts and tests start their
# own, with configurations of their own. During the install a policy-rc.d
# that answers 101 (action forbidden) keeps every service stopped; the
# machine's own policy-rc.d, if any, is put back afterwards.
set -eu
unpack_dir="$(cd "$(dirname "$0")/.." && pwd)/build/debian"

common=(cmake ninja-build g++ mingw-w64 wine wine64 fonts-wine xvfb ngircd openssl)
case "${1:-}" in
test)
    wanted=("${common[@]}" libgtest-dev clang libclang-rt-14-dev nsis libgnutls30 libltdl7 libcrypt1
            inspircd atheme-services)
    unpacked=(ircd-hybrid) ;;
run) wanted=("${common[@]}" imagemagick) ;;
release) wanted=(cmake ninja-build mingw-w64 nsis) ;;
bench) wanted=("${common[@]}" python3 irssi tmux strace linux-perf) ;;
opponent) wanted=(cmake ninja-build g++) ;;  # the computer player and its benchmark alone
serve) wanted=(cmake ninja-build g++ ngircd openssl) ;;  # the server kit
*) echo "usage: $0 test|run|release|bench|opponent|serve" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
to_unpack=()
for pkg in ${unpacked[@]+"${unpacked[@]}"}; do
    [ -d "$unpack_dir/$pkg/usr" ] || to_unpack+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && [ ${#to_unpack[@]} -eq 0 ] && exit 0

# apt-get install PACKAGE...: with services kept from starting.
install_without_services() {
    local policy=/usr/sbin/policy-rc.d saved=
    if [ -e "$policy" ]; then
        saved=$(mktemp)
        "${sudo_cmd[@]}" cp -p "$policy" "$saved"
    fi
    # Put back whatever happens, also on an interruption.
    trap "restore_policy '$saved'" EXIT
    trap 'exit 130' INT TERM HUP
    printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$policy" >/dev/null
    "${sudo_cmd[@]}" chmod 755 "$policy"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" >/dev/null
    restore_policy "$saved"
    trap - EXIT INT TERM HUP
}

restore_policy() {
    local policy=/usr/sbin/policy-rc.d saved=$1
    if [ -n "$saved" ]; then
        "${sudo_cmd[@]}" cp -p "$saved" "$policy"
        rm -f "$saved"
    else
        "${sudo_cmd[@]}" rm -f "$policy"
    fi
}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    install_without_services "${missing[@]}"
fi
for pkg in ${to_unpack[@]+"${to_unpack[@]}"}; do
    echo "unpacking: $pkg into $unpack_dir/$pkg"
    download=$(mktemp -d)
    chmod a+rwx "$download"  # apt-get fetches as its own unprivileged user
    (cd "$download" && apt-get download -qq "$pkg")
    rm -rf "${unpack_dir:?}/$pkg"
    mkdir -p "$unpack_dir/$pkg"
    dpkg-deb -x "$download"/"$pkg"_*.deb "$unpack_dir/$pkg"
    rm -rf "$download"
done
