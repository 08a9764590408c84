#!/usr/bin/env bash
# A game stopped and continued comes back paused; Ctrl+Z (SIGTSTP) pauses before stopping.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

start_game
start_from_title game
playing=$(paused_text "$work_dir/now.png")

kill -STOP "$game_pid"
sleep 2
kill -CONT "$game_pid"
sleep 0.5
shot "$work_dir/a.png"
sleep 0.5
shot "$work_dir/b.png"
(($(paused_text "$work_dir/a.png") > playing + 500)) || fail "no \"paused\" after a stop of 2 s"
cmp -s "$work_dir/a.png" "$work_dir/b.png" || fail "the game went on after a stop of 2 s"

xdotool keydown Alt_L && sleep 0.2 && xdotool keyup Alt_L
wait_for 10 "the game to resume" eval '! { shot "$work_dir/c.png" && cmp -s "$work_dir/b.png" "$work_dir/c.png"; }'
kill -TSTP "$game_pid"
stopped() { [ "$(awk '{print $3}' "/proc/$game_pid/stat")" = T ]; }
wait_for 10 "the game to stop itself" stopped
shot "$work_dir/d.png"
kill -CONT "$game_pid"
(($(paused_text "$work_dir/d.png") > playing + 500)) || fail "no \"paused\" before Ctrl+Z stopped the game"
quit_game game
echo "ok"
