#!/usr/bin/env bash
# Where the game finds its data, started from an empty working directory: a staged copy
# plays from its own folder; with no data anywhere it says where it looked and exits with 1;
# installed (DESTDIR, or unpacked from the Debian package) it reads share/games/ardlow and
# keeps the high score in $XDG_DATA_HOME/ardlow.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

empty="$work_dir/empty"
mkdir -p "$empty" "$work_dir/lone/games"

# launch PROGRAM NAME [VAR=VALUE...]: PROGRAM started from the empty directory.
launch() {
    (cd "$empty" && exec env "${@:3}" "$1") >"$work_dir/$2.log" 2>&1 &
    game_pid=$!
}
quit_clean() {
    quit_game "$1"
    [ -z "$(ls -A "$empty")" ] || fail "$1: wrote into the working directory: $(ls -A "$empty")"
}

cp "$stage_dir/ardlow" "$work_dir/lone/games/"
(cd "$empty" && exec "$work_dir/lone/games/ardlow") >"$work_dir/lone.log" 2>&1
status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$work_dir/lone.log")" = 1 ] &&
    grep -q -F -e "$work_dir/lone/games" "$work_dir/lone.log" &&
    grep -q -F -e "$work_dir/lone/share/games/ardlow" "$work_dir/lone.log" ||
    fail "no data: status $status, not one line naming both places"

prepare_game "$work_dir/game"
launch "$work_dir/game/ardlow" staged
wait_title staged
quit_clean staged
saved "$work_dir/game/highscore" || fail "staged: no highscore beside the program"

# play PREFIX NAME: a whole game, the high score in the player's data, none in the install.
play() {
    local home="$work_dir/$2-home"
    mkdir -p "$home"
    launch "$1/games/ardlow" "$2" HOME="$home" XDG_DATA_HOME="$home/data"
    wait_title "$2"
    whole_game "$2" "$home/data/ardlow/highscore"
    quit_clean "$2"
    [ -z "$(find "$1" -newer "$home" -type f)" ] || fail "$2: wrote into the install"
}

share="$work_dir/root/usr/share"
DESTDIR="$work_dir/root" cmake --install "$build_dir" --prefix /usr >"$work_dir/install.log" 2>&1 ||
    fail "cmake --install failed"
for size in 48 128 256; do
    [ "$(identify -format %wx%h "$share/icons/hicolor/${size}x$size/apps/ardlow.png")" = "${size}x$size" ] ||
        fail "no ${size}x$size icon"
done
desktop-file-validate "$share"/applications/*.desktop >"$work_dir/desktop.log" 2>&1 || fail "desktop entry"
appstreamcli validate --no-net "$share"/metainfo/*.xml >"$work_dir/metainfo.log" 2>&1 || fail "metadata"
mandoc -T lint "$share/man/man6/ardlow.6.gz" >"$work_dir/manual.log" 2>&1 || fail "manual page"
play "$work_dir/root/usr" installed

# Odd homes: an empty or relative XDG variable counts as unset; with no home at all nothing
# is kept, it says so, and nothing goes into the install.
odd="$work_dir/odd-home"
mkdir -p "$odd"
launch "$work_dir/root/usr/games/ardlow" odd HOME="$odd" XDG_DATA_HOME= XDG_CONFIG_HOME=relative
wait_title odd
quit_clean odd
saved "$odd/.local/share/ardlow/highscore" || fail "empty XDG_DATA_HOME: no highscore under HOME"
launch "$work_dir/root/usr/games/ardlow" homeless -u HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME
wait_title homeless
quit_clean homeless
grep -q 'high score cannot be kept' "$work_dir/homeless.log" || fail "homeless: not said"
[ -z "$(find "$work_dir/root/usr" -newer "$odd" -type f)" ] || fail "odd homes: wrote into the install"

cpack --config "$build_dir/CPackConfig.cmake" -B "$work_dir/pkg" >"$work_dir/cpack.log" 2>&1 || fail "cpack"
deb=$(echo "$work_dir"/pkg/ardlow_*_"$(dpkg --print-architecture)".deb)
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0' || fail "no library dependencies in $deb"
dpkg-deb -x "$deb" "$work_dir/deb"
play "$work_dir/deb/usr" unpacked
echo "ok"
