#!/usr/bin/env bash
# Makes the README's pictures: docs/kelva-chat.png, KELVA in chat mode, and
# docs/kelva-game.png, a finished game, whose pixels at a few places are
# checked against what the scene says it shows there.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/docs"
"$root/scripts/deps.sh" run

# shellcheck disable=SC2016
take='set -- $POSE_PLACE; import -display "$POSE_DISPLAY" -window root -crop "${3}x${4}+${1}+${2}" +repage "$PICTURE"'
PICTURE=$root/docs/kelva-chat.png "$root/scripts/pose.sh" bash -c "$take"
echo "wrote $root/docs/kelva-chat.png"

picture=$root/docs/kelva-game.png
PICTURE=$picture POSE_SCENE=pose-game "$root/scripts/pose.sh" bash -c "$take"
status=0
while read -r x y want what; do
    rgb=$(convert "$picture" -format "%[fx:int(255*p{$x,$y}.r)] %[fx:int(255*p{$x,$y}.g)] %[fx:int(255*p{$x,$y}.b)]" info:)
    # shellcheck disable=SC2086
    got=$(printf '%02X%02X%02X' $rgb)
    if [ "$got" = "$want" ]; then
        echo "ok: $what at $x,$y is $got"
    else
        echo "WRONG: $what at $x,$y is $got, not $want"
        status=1
    fi
done <"$root/build/windows/e2e-work/pose-game/checks.txt"
[ $status -eq 0 ] || { echo "$picture does not show the finished game" >&2; exit 1; }
echo "wrote $picture"
