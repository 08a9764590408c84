#!/usr/bin/env bash
# Odd data files (FIFOs, hidden files other desktops leave, a missing glyph), then a
# standard output nobody reads and a closed terminal: none may hang or end the game.
set -u
source "$(dirname "$0")/lib.bash"

start_xvfb 800x480
export SDL_AUDIODRIVER=dummy

# FIFOs as the high score, a piece of music and an effect, hidden files in every data
# folder and a glyph missing: the title comes, and Escape ends the game as usual.
odd="$work_dir/odd"
prepare_game "$odd"
rm "$odd/music/Ouroboros.ogg" "$odd/sfx/Blast(1).wav" "$odd/textures/font/ua.png"
mkfifo "$odd/highscore" "$odd/music/Ouroboros.ogg" "$odd/sfx/Blast(1).wav"
for hidden in textures/font/.DS_Store textures/font/._ub.png music/._Ouroboros.ogg sfx/.DS_Store; do
    printf 'not data\n' >"$odd/$hidden"
done
run_game "$odd"
wait_for 60 "odd: the title card" title_shown
quit_game odd
[ -p "$odd/highscore" ] || fail "odd: the high score FIFO was replaced"
grep -qx "high score file highscore not read (not a regular file), so it is left as it is" "$odd.log" ||
    fail "odd: the high score FIFO was not named"
grep -qx "glyphs missing from textures/font, drawn as blocks: ua" "$odd.log" ||
    fail "odd: the missing glyph was not named"

# Standard output goes to a pipe whose reader is gone, and the game has a line to say
# (no sound device); then the terminal closes. The game saves and ends with status 0.
hup="$work_dir/hup"
prepare_game "$hup"
mkfifo "$work_dir/pipe"
exec 5<>"$work_dir/pipe" 6>"$work_dir/pipe" 5<&-
(cd "$hup" && SDL_AUDIODRIVER=no_such_device exec ./ardlow) >&6 2>"$hup.log" &
game_pid=$!
exec 6>&-
wait_for 60 "hup: the title card" title_shown
kill -HUP "$game_pid"
wait_game_exit 60
[ "$game_status" = 0 ] || fail "hup: exit status $game_status"
saved "$hup/highscore" || fail "hup: no high score saved"
echo "ok"
