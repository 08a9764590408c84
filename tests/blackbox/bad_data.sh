#!/usr/bin/env bash
# Damaged or missing data files. A picture that cannot be loaded stops the game with a
# message naming the file and status 255. Missing or damaged sound, and no sound device
# at all, leave the game playing, silent where the sound is missing.
set -u
source "$(dirname "$0")/lib.bash"

start_xvfb 800x480

# expect_texture_failure NAME FILE: the game prepared in $work_dir/NAME stops on FILE.
expect_texture_failure() {
    run_game "$work_dir/$1"
    wait_game_exit 60
    [ "$game_status" = 255 ] || fail "$1: exit status $game_status: $(cat "$work_dir/$1.log")"
    grep -q "^error loading texture $2: ." "$work_dir/$1.log" ||
        fail "$1: no message naming $2: $(cat "$work_dir/$1.log")"
}

prepare_game "$work_dir/glyph"
printf 'not a picture\n' >"$work_dir/glyph/textures/font/ua.png"
expect_texture_failure glyph textures/font/ua.png

prepare_game "$work_dir/title"
printf 'not a picture\n' >"$work_dir/title/textures/title.png"
expect_texture_failure title textures/title.png

# play_one_game NAME: starts the game prepared in $work_dir/NAME, plays a game into the
# far wall until the game over saves "highscore", and quits with Escape.
play_one_game() {
    local dir="$work_dir/$1"
    run_game "$dir"
    wait_for 60 "$1: the game window" game_window
    wait_for 90 "$1: the title card" title_shown
    start_from_title "$1"
    wait_for 120 "$1: highscore after the game" saved "$dir/highscore"
    wait_for 60 "$1: the title after game over" title_shown
    xdotool keydown Escape
    wait_game_exit 60
    xdotool keyup Escape
    [ "$game_status" = 0 ] || fail "$1: exit status $game_status: $(cat "$dir.log")"
}

# Bytes of the mixed output that are not silence.
sound_in() {
    tr -d '\000' <"$1" | wc -c
}

# No music at all: the death still sounds.
prepare_game "$work_dir/no_music"
rm -r "$work_dir/no_music/music"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/no_music.raw" play_one_game no_music
(($(sound_in "$work_dir/no_music.raw") > 10000)) || fail "no_music: the death made no sound"

# Damaged music, one piece cut short and one not music at all, and no effects: nothing to
# hear, all the same a whole game.
prepare_game "$work_dir/silent"
head -c 200 "$stage_dir/music/Ouroboros.ogg" >"$work_dir/silent/music/Ouroboros.ogg"
cp "$stage_dir/textures/title.png" "$work_dir/silent/music/Buff Proof.ogg"
rm -r "$work_dir/silent/sfx"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/silent.raw" play_one_game silent
[ -s "$work_dir/silent.raw" ] || fail "silent: no audio output was written"
(($(sound_in "$work_dir/silent.raw") == 0)) || fail "silent: damaged music made a sound"

# A damaged death sound, no music and no pickup sound (the snake may meet a pickup on
# its way): the death passes in silence.
prepare_game "$work_dir/damaged_effect"
printf 'RIFF\377\377\377\377WAVEfmt garbage' >"$work_dir/damaged_effect/sfx/Blast(1).wav"
rm "$work_dir/damaged_effect/sfx/167338__plimbo__pup-fat.wav"
rm -r "$work_dir/damaged_effect/music"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/damaged_effect.raw" play_one_game damaged_effect
[ -s "$work_dir/damaged_effect.raw" ] || fail "damaged_effect: no audio output was written"
(($(sound_in "$work_dir/damaged_effect.raw") == 0)) || fail "damaged_effect: the damaged death sound made a sound"

# No sound device: one line says so and the game plays on, silent.
prepare_game "$work_dir/no_device"
SDL_AUDIODRIVER=no_such_device play_one_game no_device
grep -q "^audio: no sound device, playing silently" "$work_dir/no_device.log" ||
    fail "no_device: no message: $(cat "$work_dir/no_device.log")"
echo "ok"
