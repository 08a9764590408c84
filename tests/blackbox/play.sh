#!/usr/bin/env bash
# A whole game on a real X server, from the title to the far wall, the title again, Escape.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

shots="$build_dir/screenshots"
mkdir -p "$shots"
listen
start_game
cp "$work_dir/now.png" "$shots/title.png"
[ ! -e "$work_dir/game/highscore" ] || fail "highscore written before any game"
title_music game

# Left Alt starts a game: the green snake in the middle, the white cage around it.
start_from_title game
cp "$work_dir/now.png" "$shots/play.png"
(($(count "$shots/play.png" 0 0 800 480 white) > 2000)) || fail "no white cage in play"
(($(count "$shots/play.png" 8 30 160 62 white) > 30)) || fail "no score text near the top left"

# Flying straight, the snake hits the far wall; the high score is saved, the title returns.
play_until_saved game "$work_dir/game/highscore"
wait_for 60 "the title after game over" title_shown
quit_game game
echo "ok"
