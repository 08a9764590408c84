#!/usr/bin/env bash
# A tap of Escape, its press and release arriving together, quits on the title and in a
# game every time; another window taking the focus pauses a game, which stays paused when
# the focus comes back.
set -u
source "$(dirname "$0")/lib.bash"

start_xvfb 800x480
for try in {1..21}; do
    start_game
    wait_for 60 "the game window" game_window
    wait_for 60 "the title" title_shown
    ((try % 2)) && start_from_title "try $try"
    ((try < 21)) || break
    t0=$(date +%s%N)
    xdotool key Escape
    wait_game_exit 10 # a lost press would leave the game running
    echo "try $try: quit $((($(date +%s%N) - t0) / 1000000)) ms after the tap"
    [ "$game_status" = 0 ] || fail "exit status $game_status"
done

text() { count "$1" 310 225 490 258 white; } # where "paused" shows
playing=$(text "$work_dir/now.png")
xmessage -geometry +900+100 other 2>/dev/null & # off the screen, out of the screenshots
other=$!
wait_for 20 "a second window" xdotool search --name '^xmessage$'
xdotool windowfocus "$(xdotool search --name '^xmessage$')"
for s in a b c; do
    sleep 0.5
    shot "$work_dir/$s.png"
    [ $s = b ] && xdotool windowfocus "$(game_window)"
done
(($(text "$work_dir/a.png") > playing + 500)) || fail "no \"paused\" without the focus"
cmp -s "$work_dir/a.png" "$work_dir/b.png" || fail "the game went on without the focus"
cmp -s "$work_dir/b.png" "$work_dir/c.png" || fail "the game went on when the focus came back"
kill "$other"
echo "ok"
