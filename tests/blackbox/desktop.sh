#!/usr/bin/env bash
# --help, --version and bad options (status 2) need no display; --window=640x360, F11 and
# Alt+Enter switch the display, a paused game staying paused.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

prepare_game "$work_dir/game"
# ask NAME STATUS ARGS...: the game, no display, ends with STATUS; output in NAME.out/.err.
ask() {
    local status
    (cd "$work_dir/game" && DISPLAY='' WAYLAND_DISPLAY='' exec ./ardlow "${@:3}") \
        >"$work_dir/$1.out" 2>"$work_dir/$1.err"
    status=$?
    [ "$status" = "$2" ] || fail "$1: status $status, not $2: $(cat "$work_dir/$1.err")"
}
ask help 0 --window --help
grep -q '^usage: ardlow' "$work_dir/help.out" && grep -q -e '--window\[=WxH\]' "$work_dir/help.out" &&
    grep -q -e '--smooth ' "$work_dir/help.out" && grep -q -e '--no-smooth ' "$work_dir/help.out" &&
    grep -q 'highscore' "$work_dir/help.out" && grep -q 'F11' "$work_dir/help.out" &&
    grep -q 'M mutes' "$work_dir/help.out" && grep -q -e '\.\./share/games/ardlow' "$work_dir/help.out" &&
    grep -q 'settings\.ini' "$work_dir/help.out" &&
    [ ! -s "$work_dir/help.err" ] || fail "--help: $(cat "$work_dir/help.out" "$work_dir/help.err")"
ask version 0 --version
[[ $(cat "$work_dir/version.out") =~ ^ardlow\ 1\.[0-9]+\.[0-9]+$ ]] ||
    fail "--version: $(cat "$work_dir/version.out")"
i=0
for bad in --bogus -x stray --window=0x5 --window=640 --window=640x360x2 --window= \
    --window=-640x360 --fullscreen=1 --help=foo --version=1 --fullscreen=yes --smooth=1; do
    ask "bad$((++i))" 2 "$bad"
    [ "$(wc -l <"$work_dir/bad$i.err")" = 2 ] && grep -q -e '^try ardlow --help$' "$work_dir/bad$i.err" &&
        [ ! -s "$work_dir/bad$i.out" ] || fail "$bad: $(cat "$work_dir/bad$i.err")"
    # Named as written, never by a byte of getopt's own.
    case $bad in --bogus | --fullscreen=* | --help=* | --version=*)
        grep -q -F -e "$bad" "$work_dir/bad$i.err" || fail "$bad not named: $(cat -v "$work_dir/bad$i.err")" ;;
    esac
done
# The help or version lost on the way is an error, said on stderr.
for asked in --help --version; do
    (cd "$work_dir/game" && DISPLAY='' WAYLAND_DISPLAY='' exec ./ardlow "$asked") >/dev/full 2>"$work_dir/full.err"
    status=$?
    [ "$status" = 1 ] && grep -q 'could not be written' "$work_dir/full.err" ||
        fail "$asked to a full disk: status $status: $(cat "$work_dir/full.err")"
done
# A display named but not there is named.
(cd "$work_dir/game" && DISPLAY=:7391 WAYLAND_DISPLAY='' exec ./ardlow --window) >"$work_dir/gone.log" 2>&1
grep -q 'cannot connect to the X display ":7391"' "$work_dir/gone.log" || fail "no such display: $(cat "$work_dir/gone.log")"

# A desktop has a window manager, which is what carries out a switch to full screen.
evilwm -fn fixed >"$work_dir/wm.log" 2>&1 &
wm_pid=$!
trap 'kill $game_pid $wm_pid $xvfb_pid 2>/dev/null; rm -rf "$work_dir"' EXIT
# SDL looks for one once, as it starts; a later one makes Xlib end the game (BadMatch).
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for 20 "the window manager" wm_ready
is_size() { [ "$(geometry)" = "$1" ]; }
(cd "$work_dir/game" && exec ./ardlow --window=640x360) >"$work_dir/game.log" 2>&1 &
game_pid=$!
wait_for 60 "a window" game_window
wait_for 20 "a 640x360 window" is_size 640x360
wait_title window
start_from_title window
xdotool key Alt_L
wait_for 20 "window: paused" resting_paused
# Switch NAME KEYS SIZE: KEYS pressed together switch the display to SIZE.
switch() {
    xdotool key "$2"
    wait_for 20 "$1: $3" is_size "$3"
}
switch F11 F11 800x480
wait_for 20 "full screen: still paused" resting_paused
switch "F11 again" F11 640x360
wait_for 20 "window again: still paused" resting_paused
# (xdotool presses left Alt with a right one, so right Alt+Enter is tested in process.)
switch "left Alt+Enter" Alt_L+Return 800x480
snake_shown || fail "left Alt+Enter: no game after the switch"
resting_paused && fail "left Alt+Enter: left Alt did not resume the game"
quit_game window
echo "ok"
