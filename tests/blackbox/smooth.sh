#!/usr/bin/env bash
# Looked at 60 times a second, a game shows about 30 new pictures a second, near 60 with --smooth.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

# A thin band, so that a look seldom lands on a half-drawn picture and counts it twice.
look() { "$build_dir/tests/frame_changes" 5 60 0 236 800 8 | sort -n | tr '\n' ' '; }
best() { echo "${changes% }" | tr ' ' '\n' | tail -n1; }

# play NAME ARGS...: a game started with ARGS, the snake kept looping with a held Up.
play() {
    start_game "$work_dir/$1" "${@:2}"
    start_from_title "$1"
    xdotool keydown Up
}
stop() {
    xdotool keyup Up
    quit_game "$1"
}

play plain
changes=$(look)
echo "plain: changes in each of five seconds of play, fewest first: $changes" >&2
(($(best) <= 33)) || fail "without smooth motion: $changes changes a second, not about 30"
stop plain
# Too busy to show every update, a machine cannot judge smoothness.
if (($(best) < 30)); then
    echo "SKIP: the machine is too loaded: at most $(best) of 31 updates a second were shown" >&2
    exit 77
fi

play smooth --smooth
# 50 and more unloaded; a loaded machine gets a few more seconds.
for _ in 1 2 3; do
    changes=$(look)
    echo "smooth: changes in each of five seconds of play, fewest first: $changes" >&2
    (($(best) >= 40)) && break
done
(($(best) >= 40)) || fail "with --smooth: $changes changes a second, not near 60"
stop smooth
echo "ok"
