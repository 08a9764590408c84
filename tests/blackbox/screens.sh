#!/usr/bin/env bash
# "GAME OVER" at a game's end, the pause menu's music volume kept for the next run, and a
# title card that names the start key the settings give.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

game_dir=$work_dir/game
tap() { xdotool keydown "$1" && sleep 0.2 && xdotool keyup "$1" && sleep 0.3; }
# Where "GAME OVER" shows on 800x480, centred as "paused" is.
game_over_text() { count "$1" 265 225 535 256 white; }
# The card's first line on the controls (its letters' dark outlines are not lit).
start_line() { count "$1" 100 228 700 262 lit; }

# The default card; the game over.
start_game "$game_dir"
default_line=$(start_line "$work_dir/now.png")
start_from_title "game over"
cp "$work_dir/now.png" "$work_dir/play.png"
deadline=$((SECONDS + 180))
until saved "$game_dir/highscore" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "no game over within 180 s"
    sleep 0.1
done
# The death was just now: its two seconds are under way.
shot "$work_dir/over.png"
over=$(game_over_text "$work_dir/over.png")
play=$(game_over_text "$work_dir/play.png")
((over > play + 800)) || fail "no GAME OVER: $over white pixels in its band, $play in play"
wait_for 60 "the title after game over" title_shown

# The menu: Down chooses the music, Left turns it down a step; kept for the next run.
start_from_title "menu"
tap Alt_L
wait_for 10 "the pause" resting_paused
tap Down
tap Left
quit_game "menu"
grep -qx 'music_volume = 90' "$game_dir/settings.ini" || fail "music volume not saved as 90"
run_game "$game_dir"
wait_title "menu again"
start_from_title "menu again"
tap Alt_L
wait_for 10 "the pause" resting_paused
tap Down
tap Left
quit_game "menu again"
grep -qx 'music_volume = 80' "$game_dir/settings.ini" ||
    fail "the second run did not start from the saved 90: $(grep music "$game_dir/settings.ini")"

# start = Space: the card names it, and Space starts.
printf '[controls]\nstart = Space\n' >"$game_dir/settings.ini"
run_game "$game_dir"
wait_title "space"
space_line=$(start_line "$work_dir/now.png")
differ=$((space_line - default_line))
((differ * differ > 50 * 50)) ||
    fail "the card with start = Space reads as the default one ($default_line, $space_line)"
tap space
wait_for 10 "a game started by Space" snake_shown
quit_game "space"
echo "ok"
