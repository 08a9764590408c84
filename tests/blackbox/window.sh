#!/usr/bin/env bash
# A full-screen window of the screen's size; a tap of Escape or Q, or a window close, quits
# with status 0 every time; a focus loss pauses; a display lost mid-game ends it with the
# score saved; no display at all is said and fails.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

for try in {1..21}; do
    start_game
    [ "$(geometry)" = "800x480" ] || fail "window is $(geometry), not the screen's 800x480"
    ((try % 2)) && start_from_title "try $try"
    ((try < 21)) || break
    t0=$(date +%s%N)
    case $try in
        19) xdotool key q ;;
        20) "$build_dir/tests/wm_close" "$(game_window)" ;;
        *) xdotool key Escape ;;
    esac
    wait_game_exit 10 # a lost press would leave the game running
    echo "try $try: quit $((($(date +%s%N) - t0) / 1000000)) ms after it"
    [ "$game_status" = 0 ] || fail "try $try: exit status $game_status"
done

playing=$(paused_text "$work_dir/now.png")
xmessage -geometry +900+100 other 2>/dev/null & # off the screen, out of the screenshots
other=$!
wait_for 20 "a second window" xdotool search --name '^xmessage$'
xdotool windowfocus "$(xdotool search --name '^xmessage$')"
for s in a b c; do
    sleep 0.5
    shot "$work_dir/$s.png"
    [ $s = b ] && xdotool windowfocus "$(game_window)"
done
(($(paused_text "$work_dir/a.png") > playing + 500)) || fail "no \"paused\" without the focus"
cmp -s "$work_dir/a.png" "$work_dir/b.png" || fail "the game went on without the focus"
cmp -s "$work_dir/b.png" "$work_dir/c.png" || fail "the game went on when the focus came back"
kill "$other"
quit_game focus

# The window destroyed or the X server gone: status 1, the game's score saved first.
for lost in window server; do
    start_game "$work_dir/$lost"
    start_from_title "$lost"
    [ $lost = window ] && xdotool windowclose "$(game_window)" || kill "$xvfb_pid"
    wait_game_exit 30
    [ "$game_status" = 1 ] && saved "$work_dir/$lost/highscore" ||
        fail "$lost gone: exit status $game_status, highscore: $(cat "$work_dir/$lost/highscore")"
done

# No display at all: one clear line and a non-zero status.
unset DISPLAY
(cd "$stage_dir" && ./ardlow) >"$work_dir/nodisplay.log" 2>&1
status=$?
[ "$status" != 0 ] || fail "exit status 0 without a display"
grep -q "failed" "$work_dir/nodisplay.log" || fail "no message without a display: $(cat "$work_dir/nodisplay.log")"
echo "ok"
