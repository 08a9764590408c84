#!/usr/bin/env bash
# A picture that cannot be loaded ends the game (255, named); bad sound is silence; FIFOs,
# hidden files, closed or unread streams and a hangup neither hang nor end it.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

# A picture that is not one, a FIFO, or none (still the game folder: no looking elsewhere).
for case in text:textures/font/ua.png text:textures/title.png fifo:textures/title.png \
    fifo:textures/font/ub.png gone:textures/title.png; do
    picture=${case#*:} name=${case//[\/.:]/_}
    prepare_game "$work_dir/$name"
    rm "$work_dir/$name/$picture"
    case ${case%%:*} in
    fifo) mkfifo "$work_dir/$name/$picture" ;;
    text) printf 'not a picture\n' >"$work_dir/$name/$picture" ;;
    esac
    run_game "$work_dir/$name"
    wait_game_exit 60
    [ "$game_status" = 255 ] && grep -q "^error loading texture $picture: ." "$work_dir/$name.log" ||
        fail "$name: exit status $game_status, not the message naming $picture"
done

# heard NAME: a whole game in $work_dir/NAME, then Escape; $heard: its non-silent bytes.
heard() {
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/$1.raw" run_game "$work_dir/$1"
    wait_title "$1"
    whole_game "$1" "$work_dir/$1/highscore"
    quit_game "$1"
    [ -s "$work_dir/$1.raw" ] || fail "$1: no audio output was written"
    heard=$(tr -d '\000' <"$work_dir/$1.raw" | wc -c)
}

# No music at all: the death still sounds.
prepare_game "$work_dir/no_music"
rm -r "$work_dir/no_music/music"
heard no_music
((heard > 10000)) || fail "no_music: the death made no sound"

# Music cut short or not music, a damaged death sound and no pickup sound: silence.
prepare_game "$work_dir/silent"
head -c 200 "$stage_dir/music/Ouroboros.ogg" >"$work_dir/silent/music/Ouroboros.ogg"
cp "$stage_dir/textures/title.png" "$work_dir/silent/music/Buff Proof.ogg"
printf 'RIFF\377\377\377\377WAVEfmt garbage' >"$work_dir/silent/sfx/Blast(1).wav"
rm "$work_dir/silent/sfx/167338__plimbo__pup-fat.wav"
heard silent
((heard == 0)) || fail "silent: damaged sound made a sound"
[ "$(grep -c 'never heard' "$work_dir/silent.log")" = 1 ] &&
    grep -qx "missing, so never heard: sfx/167338__plimbo__pup-fat.wav" "$work_dir/silent.log" ||
    fail "silent: the missing sound was not named once"

# FIFOs as the high score, music and effect, hidden files and a missing glyph: it plays.
odd="$work_dir/odd"
prepare_game "$odd"
rm "$odd/music/Ouroboros.ogg" "$odd/sfx/Blast(1).wav" "$odd/textures/font/ua.png"
mkfifo "$odd/highscore" "$odd/music/Ouroboros.ogg" "$odd/sfx/Blast(1).wav"
for hidden in textures/font/.DS_Store textures/font/._ub.png music/._Ouroboros.ogg sfx/.DS_Store \
    textures/font/Thumbs.db textures/font/notes.txt; do
    printf 'not data\n' >"$odd/$hidden"
done
run_game "$odd"
wait_title odd
quit_game odd
[ -p "$odd/highscore" ] || fail "odd: the high score FIFO was replaced"
grep -qx "high score file highscore not read (not a regular file), so it is left as it is" "$odd.log" ||
    fail "odd: the high score FIFO was not named"
grep -qx "glyphs missing from textures/font, drawn as blocks: ua" "$odd.log" ||
    fail "odd: the missing glyph was not named"
for stray in Thumbs.db notes.txt; do
    grep -qx "textures/font/$stray skipped: no glyph has that name" "$odd.log" ||
        fail "odd: the stray $stray was not named"
done

# Closed standard streams, which the display connection must not take, a line to say.
for closed in ">&-" "<&- >&- 2>&-"; do
    name=closed_${#closed}
    prepare_game "$work_dir/$name"
    rm "$work_dir/$name/textures/font/ua.png"
    eval '(cd "$work_dir/$name" && exec ./ardlow) >"$work_dir/$name.log" 2>&1 '"$closed"' &'
    game_pid=$!
    wait_title "$name"
    start_from_title "$name"
    quit_game "$name ($closed)"
done

# Output to a pipe nobody reads: no data ends with 1; a game plays on, and a hangup saves.
mkfifo "$work_dir/pipe"
exec 5<>"$work_dir/pipe" 6>"$work_dir/pipe" 5<&-
mkdir "$work_dir/nodata"
cp "$stage_dir/ardlow" "$work_dir/nodata/"
(cd "$work_dir/nodata" && exec ./ardlow) >&6 2>"$work_dir/nodata.log"
status=$?
[ "$status" = 1 ] || fail "nodata: exit status $status, not 1"
hup="$work_dir/hup"
prepare_game "$hup"
(cd "$hup" && SDL_AUDIODRIVER=no_such_device exec ./ardlow) >&6 2>"$hup.log" &
game_pid=$!
exec 6>&-
wait_title hup
kill -HUP "$game_pid"
wait_game_exit 60
[ "$game_status" = 0 ] || fail "hup: exit status $game_status"
saved "$hup/highscore" || fail "hup: no high score saved"
echo "ok"
