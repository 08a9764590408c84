#!/usr/bin/env bash
# A game stopped and continued, as a suspend does, comes back paused with the snake where
# it was; Ctrl+Z (SIGTSTP) pauses the game before the process stops.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

text() { count "$1" 310 225 490 258 white; } # where "paused" shows, as resting_paused reads it
start_game
start_from_title game
playing=$(text "$work_dir/now.png")

kill -STOP "$game_pid"
sleep 2
kill -CONT "$game_pid"
sleep 0.5
shot "$work_dir/a.png"
sleep 0.5
shot "$work_dir/b.png"
(($(text "$work_dir/a.png") > playing + 500)) || fail "no \"paused\" after a stop of 2 s"
cmp -s "$work_dir/a.png" "$work_dir/b.png" || fail "the game went on after a stop of 2 s"

xdotool keydown Alt_L && sleep 0.2 && xdotool keyup Alt_L
wait_for 10 "the game to resume" eval '! { shot "$work_dir/c.png" && cmp -s "$work_dir/b.png" "$work_dir/c.png"; }'
kill -TSTP "$game_pid"
stopped() { [ "$(awk '{print $3}' "/proc/$game_pid/stat")" = T ]; }
wait_for 10 "the game to stop itself" stopped
shot "$work_dir/d.png"
kill -CONT "$game_pid"
(($(text "$work_dir/d.png") > playing + 500)) || fail "no \"paused\" before Ctrl+Z stopped the game"
quit_game game
echo "ok"
