#!/usr/bin/env bash
# Makes docs/kelva-chat.png, the README's picture of KELVA in chat mode.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/docs"
"$root/scripts/deps.sh" run
# shellcheck disable=SC2016
"$root/scripts/pose.sh" bash -c 'set -- $POSE_PLACE; import -display "$POSE_DISPLAY" -window root \
    -crop "${3}x${4}+${1}+${2}" +repage "'"$root"'/docs/kelva-chat.png"'
echo "wrote $root/docs/kelva-chat.png"
