#!/usr/bin/env bash
# A whole game on a real X server, from the title to the far wall, the title again, Escape.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

shots="$build_dir/screenshots"
mkdir -p "$shots"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/audio.raw"
start_game
cp "$work_dir/now.png" "$shots/title.png"
[ ! -e "$work_dir/game/highscore" ] || fail "highscore written before any game"

# The title music: the first second the title plays (44100 frames of 4 bytes) is not silent.
audio_bytes() { stat -c %s "$work_dir/audio.raw"; }
start=$(audio_bytes)
wait_for 60 "a second of audio output" eval '(($(audio_bytes) >= start + 176400))'
title_audio=$(tail -c +$((start + 1)) "$work_dir/audio.raw" | head -c 176400 | tr -d '\000' | wc -c)
((title_audio > 10000)) || fail "no title music: $title_audio non-zero bytes in a second of the title"

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
