# The black-box tests' Xvfb (800x480), game copies, screenshots and bounded waits.
# Usage: source lib.bash STAGE_DIR BUILD_DIR; what it started stops on exit.

stage_dir=${1:?stage directory}
build_dir=${2:?build directory}
work_dir=$(mktemp -d /tmp/ardlow-blackbox-XXXXXX)
xvfb_pid='' game_pid=''
# No sound card on a test machine; a test that listens picks the disk driver.
export SDL_AUDIODRIVER=dummy

trap 'kill $game_pid $xvfb_pid 2>/dev/null; rm -rf "$work_dir"' EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$work_dir"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}:"; tail -n 20 "$log"; } >&2
    done
    exit 1
}

# poll SECONDS COMMAND...: retries COMMAND until it succeeds, or fails when time runs out.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
# wait_for SECONDS WHAT COMMAND...: poll, failing the test when time runs out.
wait_for() { poll "$1" "${@:3}" || fail "timed out after $1 s waiting for $2"; }

# prepare_game DIR: a fresh copy of the staged program and data (no "highscore") in DIR.
prepare_game() {
    rm -rf "$1" && mkdir -p "$1" && cp -r "$stage_dir"/{ardlow,music,sfx,textures} "$1/"
}

# run_game DIR [ARGS...]: the game in DIR, output to DIR.log, after $ARDLOW_LAUNCHER.
run_game() {
    # shellcheck disable=SC2086 # the launcher is a command with its arguments
    (cd "$1" && exec ${ARDLOW_LAUNCHER:-} ./ardlow "${@:2}") >"$1.log" 2>&1 &
    game_pid=$!
}

# start_game [DIR [ARGS...]]: the game in a fresh copy in DIR ($work_dir/game), to its title.
start_game() {
    local dir=${1:-$work_dir/game}
    prepare_game "$dir"
    run_game "$dir" "${@:2}"
    wait_title "${dir##*/}"
}
wait_title() { wait_for 120 "$1: the title card" title_shown; }

# Screenshots, and pixel counts in them: count FILE X0 Y0 X1 Y1 CLASS (see png_probe.cpp).
shot() { rm -f "$1" && import -window root "$1" 2>/dev/null; }
count() { "${ARDLOW_PNG_PROBE:-$build_dir/tests/png_probe}" "$@"; }
paused_text() { count "$1" 310 225 490 258 white; } # where "paused" shows on 800x480

# The title card covers x 100-700, y 48-432, with a snake of its own; play has no card.
title_shown() { shot "$work_dir/now.png" && (($(count "$work_dir/now.png" 150 100 650 380 lit) > 50000)); }
snake_shown() { ! title_shown && (($(count "$work_dir/now.png" 300 150 500 400 green) > 200)); }

# Left Alt, held as a player does, until the snake shows; pressed again after 10 s (30 s
# emulated), as a game shows for seconds before it can end.
start_from_title() {
    local wait=10
    [ -z "${ARDLOW_LAUNCHER:-}" ] || wait=30
    for _ in 1 2 3; do
        xdotool keydown Alt_L && sleep 0.3 && xdotool keyup Alt_L
        poll $wait snake_shown && return 0
        echo "$1: no game $wait s after left Alt" >&2
    done
    fail "$1: no game after three presses of left Alt"
}

# The game shows "paused" and draws nothing new: two screenshots half a second apart alike.
resting_paused() {
    shot "$work_dir/p1.png" && sleep 0.5 && shot "$work_dir/p2.png" &&
        cmp -s "$work_dir/p1.png" "$work_dir/p2.png" &&
        (($(paused_text "$work_dir/p2.png") > 500))
}

# listen, before the game starts: audio to $work_dir/audio.raw. title_music NAME: the next
# second of it (44100 frames of 4 bytes) is not silent.
listen() { export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work_dir/audio.raw"; }
title_music() {
    local start bytes
    start=$(stat -c %s "$work_dir/audio.raw" 2>/dev/null || echo 0)
    wait_for 60 "$1: a second of audio output" \
        eval '(($(stat -c %s "$work_dir/audio.raw") >= start + 176400))'
    bytes=$(tail -c +$((start + 1)) "$work_dir/audio.raw" | head -c 176400 | tr -d '\000' | wc -c)
    ((bytes > 10000)) || fail "$1: no title music: $bytes non-zero bytes in a second of the title"
}

# saved FILE: FILE holds one whole high-score line, decimal digits and a line feed.
saved() {
    local text pattern='^[0-9]+'$'\n''x$'
    text=$(cat "$1" && echo x) && [[ $text =~ $pattern ]]
}

# Prints the id of the game's mapped window, failing while there is none, and its size.
game_window() { xdotool search --onlyvisible --name '^Ardlow$' 2>/dev/null | head -n1 | grep .; }
geometry() { xdotool getwindowgeometry "$(game_window)" | awk '/Geometry/ {print $2}'; }

# wait_game_exit SECONDS: waits for the game to end and sets game_status to its status.
wait_game_exit() {
    wait_for "$1" "the game to exit" eval '! kill -0 "$game_pid"'
    game_status=0
    wait "$game_pid" || game_status=$?
    game_pid=
}

# quit_game NAME: Escape, held till the game ends (a slow one may miss a tap), status 0.
quit_game() {
    xdotool keydown Escape
    wait_game_exit 60
    xdotool keyup Escape
    [ "$game_status" = 0 ] || fail "$1: exit status $game_status"
}

# play_until_saved NAME FILE: waits for the score in FILE, resuming a game that a stall
# paused by design; an emulated game, which stalls often, has twice as long.
play_until_saved() {
    local limit=180
    [ -z "${ARDLOW_LAUNCHER:-}" ] || limit=360
    local deadline=$((SECONDS + limit))
    until saved "$2" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "timed out after $limit s waiting for $1: highscore after the game"
        if resting_paused; then
            echo "$1: the game paused itself after a stall; left Alt resumes it" >&2
            xdotool keydown Alt_L && sleep 0.3 && xdotool keyup Alt_L
        fi
    done
}

# whole_game NAME FILE: a game into the far wall, its score saved in FILE, the title again.
whole_game() {
    start_from_title "$1"
    play_until_saved "$1" "$2"
    wait_for 60 "$1: the title after game over" title_shown
}

# Xvfb on a free display; -noreset, or a game started while it resets finds no display.
exec 3<>"$work_dir/display"
Xvfb -displayfd 3 -screen 0 800x480x24 -nolisten tcp -noreset >"$work_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 "Xvfb display" test -s "$work_dir/display"
DISPLAY=":$(head -n1 "$work_dir/display")"
export DISPLAY
unset SDL_VIDEODRIVER
