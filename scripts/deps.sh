#!/usr/bin/env bash
# deps.sh test|run|release|bench|opponent: installs, through apt-get, the
# Debian packages that the test, run, release or benchmark command (or the
# computer player alone) needs and that are not installed yet. Quick when
# everything is there.
set -eu

common=(cmake ninja-build g++ mingw-w64 wine wine64 fonts-wine xvfb ngircd openssl)
case "${1:-}" in
test) wanted=("${common[@]}" libgtest-dev clang libclang-rt-14-dev nsis) ;;
run) wanted=("${common[@]}" imagemagick) ;;
release) wanted=(cmake ninja-build mingw-w64 nsis) ;;
bench) wanted=("${common[@]}" python3 irssi tmux strace) ;;
opponent) wanted=(cmake ninja-build g++) ;;  # the computer player and its benchmark alone
*) echo "usage: $0 test|run|release|bench|opponent" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
