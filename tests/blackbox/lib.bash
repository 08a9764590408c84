# Shared by the black-box tests: a private Xvfb server and waits with time limits.
# Usage: source lib.bash; start_xvfb WIDTHxHEIGHT; ...; the server stops on exit.

stage_dir=${1:?stage directory}
build_dir=${2:?build directory}
work_dir=$(mktemp -d /tmp/ardlow-blackbox-XXXXXX)
xvfb_pid=
game_pid=

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work_dir"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$work_dir"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}:"; tail -n 20 "$log"; } >&2
    done
    exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local size=$1
    exec 3<> "$work_dir/display"
    # -noreset: by default the server resets when its last client leaves, and a game
    # started during the reset finds no display.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset >"$work_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for 20 "Xvfb display" test -s "$work_dir/display"
    export DISPLAY=":$(head -n1 "$work_dir/display")"
    unset SDL_VIDEODRIVER
}

# wait_for SECONDS WHAT COMMAND...: retries COMMAND until it succeeds or time runs out.
wait_for() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "timed out after ${limit}s waiting for $what"
        sleep 0.2
    done
}

start_game() {
    prepare_game "$work_dir/game"
    run_game "$work_dir/game"
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

# Screenshots, and pixel counts in them: count FILE X0 Y0 X1 Y1 CLASS (see png_probe.cpp).
shot() {
    import -window root "$1" 2>/dev/null
}
count() {
    "${ARDLOW_PNG_PROBE:-$build_dir/tests/png_probe}" "$@"
}

# On an 800x480 screen the title card covers x 100-700, y 48-432.
card_in() {
    (($(count "$1" 150 100 650 380 lit) > 50000))
}
title_shown() {
    shot "$work_dir/now.png" && card_in "$work_dir/now.png"
}
# The title card draws a green snake of its own, so the play screen is green in the
# middle with no card around it.
snake_shown() {
    shot "$work_dir/now.png" && ! card_in "$work_dir/now.png" &&
        (($(count "$work_dir/now.png" 300 150 500 400 green) > 200))
}

# Starts a game from the title with left Alt and waits for the snake. A press that
# brings no game within 10 s (30 s for an emulated game, which draws its frames many
# times slower on a busy machine) is made again: a game shows for seconds before it can
# end, so the waits would have seen one that started.
start_from_title() {
    local try wait=10
    [ -z "${ARDLOW_LAUNCHER:-}" ] || wait=30
    for try in 1 2 3; do
        xdotool keydown Alt_L && sleep 0.3 && xdotool keyup Alt_L # held, as a player does
        local deadline=$((SECONDS + wait))
        while ((SECONDS < deadline)); do
            snake_shown && return 0
            sleep 0.2
        done
        echo "$1: no game $wait s after left Alt" >&2
    done
    fail "$1: no game after three presses of left Alt"
}

# saved FILE: FILE holds one whole high-score line, decimal digits and a line feed.
# (The value itself depends on the random pickups the snake meets on its way.)
saved() {
    local text pattern='^[0-9]+'$'\n''x$'
    text=$(cat "$1" && echo x) && [[ $text =~ $pattern ]]
}

# Prints the id of the game's mapped window; fails while there is none.
game_window() {
    local id
    id=$(xdotool search --onlyvisible --name '^Ardlow$' 2>/dev/null | head -n1)
    [ -n "$id" ] && echo "$id"
}

# Waits for the game to end and sets game_status to its exit status.
wait_game_exit() {
    local limit=$1
    local deadline=$((SECONDS + limit))
    while kill -0 "$game_pid" 2>/dev/null; do
        ((SECONDS < deadline)) || fail "game did not exit within ${limit}s"
        sleep 0.2
    done
    game_status=0
    wait "$game_pid" || game_status=$?
    game_pid=
}

# expect_texture_failure NAME FILE: the game prepared in $work_dir/NAME stops on FILE
# with status 255 and the message naming it.
expect_texture_failure() {
    run_game "$work_dir/$1"
    wait_game_exit 60
    [ "$game_status" = 255 ] || fail "$1: exit status $game_status: $(cat "$work_dir/$1.log")"
    grep -q "^error loading texture $2: ." "$work_dir/$1.log" ||
        fail "$1: no message naming $2: $(cat "$work_dir/$1.log")"
}

# quit_game NAME [KEY]: KEY (Escape unless given) ends the game with status 0. It is held
# until the game ends, so that a slow start cannot see the press and release at once.
quit_game() {
    xdotool keydown "${2:-Escape}"
    wait_game_exit 60
    xdotool keyup "${2:-Escape}"
    [ "$game_status" = 0 ] || fail "$1: exit status $game_status"
}

# whole_game NAME FILE: from the title, a game into the far wall until its game over saves
# the high score in FILE, and the title again.
whole_game() {
    start_from_title "$1"
    wait_for 180 "$1: highscore after the game" saved "$2"
    wait_for 60 "$1: the title after game over" title_shown
}
