#!/usr/bin/env bash
# The game opens a full-screen window of the screen's size and quits with status 0
# on Escape, on Q and on a window close; with no display it says so and fails.
set -u
source "$(dirname "$0")/lib.bash"

start_xvfb 800x480

for key in Escape q close; do
    start_game
    wait_for 60 "the game window" game_window
    win=$(game_window)
    geometry=$(xdotool getwindowgeometry "$win" | awk '/Geometry/ {print $2}')
    [ "$geometry" = "800x480" ] || fail "window is $geometry, not the screen's 800x480"
    [ "$key" != close ] && { quit_game "$key" "$key"; continue; }
    "$build_dir/tests/wm_close" "$win"
    wait_game_exit 60
    [ "$game_status" = 0 ] || fail "exit status $game_status after a window close"
done

# No display at all: one clear line and a non-zero status.
unset DISPLAY
(cd "$stage_dir" && ./ardlow) >"$work_dir/nodisplay.log" 2>&1
status=$?
[ "$status" != 0 ] || fail "exit status 0 without a display"
grep -q "failed" "$work_dir/nodisplay.log" || fail "no message without a display: $(cat "$work_dir/nodisplay.log")"
echo "ok"
