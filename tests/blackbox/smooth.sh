#!/usr/bin/env bash
# Smooth motion on a real X server at 800x480: looked at 60 times a second, a game in play
# shows a new picture about 30 times a second without it, and nearly every time with
# --smooth.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

# play_changes NAME ARGS...: a game started with ARGS, the snake kept looping with a held
# Up; sets `changes` to how often the picture changed in each of five seconds, then quits.
play_changes() {
    start_game "$work_dir/$1" "${@:2}"
    start_from_title "$1"
    xdotool keydown Up
    changes=$("$build_dir/tests/frame_changes" 5 60 | sort -n | tr '\n' ' ')
    xdotool keyup Up
    quit_game "$1"
    echo "$1: changes in five seconds of play, fewest first: $changes" >&2
}
most() { echo "${changes% }" | tr ' ' '\n' | tail -n1; }

play_changes plain
(($(most) <= 33)) || fail "without smooth motion: $changes changes a second, not about 30"
play_changes smooth --smooth
# 55 to 60 a second on a quiet machine; a heavily loaded one draws fewer, but its best second
# stays far above what one picture per update can show.
(($(most) >= 40)) || fail "with --smooth: $changes changes a second, not near 60"
echo "ok"
