#!/usr/bin/env bash
# Damaged or missing data files. A picture that cannot be loaded (or is a FIFO) stops the
# game with a message naming the file and status 255. Missing or damaged sound, and no
# sound device at all, leave the game playing, silent where the sound is missing.
set -u
source "$(dirname "$0")/lib.bash"

start_xvfb 800x480

# A picture that is not one, or a FIFO in its place (which must not hold the game).
for case in text:textures/font/ua.png text:textures/title.png fifo:textures/title.png \
    fifo:textures/font/ub.png; do
    picture=${case#*:} name=${case//[\/.:]/_}
    prepare_game "$work_dir/$name"
    rm "$work_dir/$name/$picture"
    [ "${case%%:*}" = fifo ] && mkfifo "$work_dir/$name/$picture" ||
        printf 'not a picture\n' >"$work_dir/$name/$picture"
    expect_texture_failure "$name" "$picture"
done

# play_one_game NAME: plays the game prepared in $work_dir/NAME until a game over saves
# "highscore", and quits with Escape.
play_one_game() {
    run_game "$work_dir/$1"
    wait_for 60 "$1: the game window" game_window
    wait_for 90 "$1: the title card" title_shown
    whole_game "$1" "$work_dir/$1/highscore"
    quit_game "$1"
}

# heard NAME: plays one game of $work_dir/NAME, its sound mixed into NAME.raw, and sets
# $heard to the bytes of that which are not silence.
heard() {
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/$1.raw" play_one_game "$1"
    [ -s "$work_dir/$1.raw" ] || fail "$1: no audio output was written"
    heard=$(tr -d '\000' <"$work_dir/$1.raw" | wc -c)
}

# No music at all: the death still sounds.
prepare_game "$work_dir/no_music"
rm -r "$work_dir/no_music/music"
heard no_music
((heard > 10000)) || fail "no_music: the death made no sound"

# Damaged music, one piece cut short and one not music at all, and no effects: nothing to
# hear, all the same a whole game.
prepare_game "$work_dir/silent"
head -c 200 "$stage_dir/music/Ouroboros.ogg" >"$work_dir/silent/music/Ouroboros.ogg"
cp "$stage_dir/textures/title.png" "$work_dir/silent/music/Buff Proof.ogg"
rm -r "$work_dir/silent/sfx"
heard silent
((heard == 0)) || fail "silent: damaged music made a sound"

# A damaged death sound, no music and no pickup sound (the snake may meet a pickup on
# its way): the death passes in silence.
prepare_game "$work_dir/damaged_effect"
printf 'RIFF\377\377\377\377WAVEfmt garbage' >"$work_dir/damaged_effect/sfx/Blast(1).wav"
rm "$work_dir/damaged_effect/sfx/167338__plimbo__pup-fat.wav"
rm -r "$work_dir/damaged_effect/music"
heard damaged_effect
((heard == 0)) || fail "damaged_effect: the damaged death sound made a sound"

# No sound device: one line says so and the game plays on, silent.
prepare_game "$work_dir/no_device"
SDL_AUDIODRIVER=no_such_device play_one_game no_device
grep -q "^audio: no sound device, playing silently" "$work_dir/no_device.log" ||
    fail "no_device: no message: $(cat "$work_dir/no_device.log")"
echo "ok"
