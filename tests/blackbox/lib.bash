# Shared by the black-box tests: a private Xvfb server with an 800x480 screen, scratch
# copies of the staged game, screenshots judged by png_probe, and waits with time limits.
# Usage: source lib.bash STAGE_DIR BUILD_DIR; what it started stops on exit.

stage_dir=${1:?stage directory}
build_dir=${2:?build directory}
work_dir=$(mktemp -d /tmp/ardlow-blackbox-XXXXXX)
xvfb_pid= game_pid=
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
wait_for() {
    poll "$1" "${@:3}" || fail "timed out after $1 s waiting for $2"
}

# prepare_game DIR: a fresh copy of the staged game in DIR, to be changed before it runs.
# The program and its data only: a "highscore" from playing in the stage stays there.
prepare_game() {
    rm -rf "$1"
    mkdir -p "$1"
    cp -r "$stage_dir"/{ardlow,music,sfx,textures} "$1/"
}

# run_game DIR: starts the game in DIR, its output going to DIR.log. ARDLOW_LAUNCHER, when
# set, is a command put before it (an emulator for a cross-built game).
run_game() {
    # shellcheck disable=SC2086 # the launcher is a command with its arguments
    (cd "$1" && exec ${ARDLOW_LAUNCHER:-} ./ardlow) >"$1.log" 2>&1 &
    game_pid=$!
}

# start_game [DIR]: the game in a fresh copy in DIR ($work_dir/game unless given), up to
# its title card.
start_game() {
    local dir=${1:-$work_dir/game}
    prepare_game "$dir"
    run_game "$dir"
    wait_title "${dir##*/}"
}
wait_title() {
    wait_for 120 "$1: the title card" title_shown
}

# Screenshots, and pixel counts in them: count FILE X0 Y0 X1 Y1 CLASS (see png_probe.cpp).
shot() {
    rm -f "$1" && import -window root "$1" 2>/dev/null
}
count() {
    "${ARDLOW_PNG_PROBE:-$build_dir/tests/png_probe}" "$@"
}

# On an 800x480 screen the title card covers x 100-700, y 48-432. It draws a green snake
# of its own, so the play screen is green in the middle with no card around it.
title_shown() {
    shot "$work_dir/now.png" && (($(count "$work_dir/now.png" 150 100 650 380 lit) > 50000))
}
snake_shown() {
    ! title_shown && (($(count "$work_dir/now.png" 300 150 500 400 green) > 200))
}

# Starts a game from the title with left Alt, held as a player does, and waits for the
# snake. A press that brings no game within 10 s (30 s for an emulated game, which draws
# many times slower on a busy machine) is made again: a game shows for seconds before it
# can end, so the waits would have seen one that started.
start_from_title() {
    local try wait=10
    [ -z "${ARDLOW_LAUNCHER:-}" ] || wait=30
    for try in 1 2 3; do
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
        (($(count "$work_dir/p2.png" 310 225 490 258 white) > 500))
}

# saved FILE: FILE holds one whole high-score line, decimal digits and a line feed.
# (The value itself depends on the random pickups the snake meets on its way.)
saved() {
    local text pattern='^[0-9]+'$'\n''x$'
    text=$(cat "$1" && echo x) && [[ $text =~ $pattern ]]
}

# Prints the id of the game's mapped window; fails while there is none.
game_window() {
    xdotool search --onlyvisible --name '^Ardlow$' 2>/dev/null | head -n1 | grep .
}

# wait_game_exit SECONDS: waits for the game to end and sets game_status to its status.
wait_game_exit() {
    wait_for "$1" "the game to exit" eval '! kill -0 "$game_pid"'
    game_status=0
    wait "$game_pid" || game_status=$?
    game_pid=
}

# quit_game NAME [KEY]: KEY (Escape unless given) ends the game with status 0. It is held
# until the game ends, so that a slow start cannot see the press and release at once.
quit_game() {
    xdotool keydown "${2:-Escape}"
    wait_game_exit 60
    xdotool keyup "${2:-Escape}"
    [ "$game_status" = 0 ] || fail "$1: exit status $game_status"
}

# play_until_saved NAME FILE: waits for the game under way to end and save the high score in
# FILE. A stall of over half a second (a suspend, or a starved process: an emulated game on a
# busy test machine) pauses the game by design, and a player then resumes it; so does this.
play_until_saved() {
    local deadline=$((SECONDS + 180))
    until saved "$2" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "timed out after 180 s waiting for $1: highscore after the game"
        if resting_paused; then
            echo "$1: the game paused itself after a stall; left Alt resumes it" >&2
            xdotool keydown Alt_L && sleep 0.3 && xdotool keyup Alt_L
        fi
    done
}

# whole_game NAME FILE: from the title, a game into the far wall until its game over saves
# the high score in FILE, and the title again.
whole_game() {
    start_from_title "$1"
    play_until_saved "$1" "$2"
    wait_for 60 "$1: the title after game over" title_shown
}

# Xvfb on a free display. -noreset: by default the server resets when its last client
# leaves, and a game started during the reset finds no display.
exec 3<>"$work_dir/display"
Xvfb -displayfd 3 -screen 0 800x480x24 -nolisten tcp -noreset >"$work_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 "Xvfb display" test -s "$work_dir/display"
export DISPLAY=":$(head -n1 "$work_dir/display")"
unset SDL_VIDEODRIVER
