#!/usr/bin/env bash
# Usage: firmware.sh ZIP ARCH FIRMWARE: the port archive on a handheld whose firmware is
# FIRMWARE, a root of Debian 11's C library, SDL2 and Mesa's GLES and nothing else, run by
# qemu-user as the device would run it. The archive unpacked on a card, the launcher picks
# the ARCH build by uname -m and passes on the port manager's controller mapping; the
# title shows with its music decoded and played, left Alt starts a game, the snake dies on
# the far wall, the high score lands in the card's ardlow/highscore, and Escape ends the
# launcher with status 0.
set -u
zip=$(realpath "${1:?port archive}")
arch=${2:?arm64 or armhf}
firmware=$(realpath "${3:?firmware root}")
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/cross-arch.bash" "$arch"
source "$root/tests/blackbox/lib.bash" "$(dirname "$zip")" "$root/build"

# What the port must bring itself is not there to be borrowed.
[ -z "$(find "$firmware" -name 'libSDL2_mixer*' -o -name 'liblodepng*')" ] ||
    fail "the firmware root holds SDL2_mixer or lodepng"

card=$work_dir/card/ports
mkdir -p "$card" "$work_dir/bin" "$work_dir/control"
unzip -q "$zip" -d "$card" || fail "unzip $zip"
ln -s "$card/ardlow/log.txt" "$work_dir/game.log" # shown when the test fails
# The machine the handheld reports, and the port manager's control file with a mapping.
printf '#!/bin/sh\n[ "$1" = -m ] && exec echo %s\nexec /bin/uname "$@"\n' \
    "$([ "$arch" = arm64 ] && echo aarch64 || echo armv7l)" >"$work_dir/bin/uname"
chmod +x "$work_dir/bin/uname"
echo 'sdl_controllerconfig="03000000de2800000112000001000000,Test pad,a:b0,platform:Linux,"' \
    >"$work_dir/control/control.txt"

listen
(cd "$work_dir" && exec env PATH="$work_dir/bin:$PATH" controlfolder="$work_dir/control" \
    ARDLOW_LAUNCHER="$qemu -L $firmware" "$card/Ardlow.sh") >"$work_dir/launcher.log" 2>&1 &
game_pid=$!
export ARDLOW_LAUNCHER=$qemu # an emulated game: start_from_title waits longer
wait_title port
grep -qx "Ardlow: $port_arch, controller mapping from $work_dir/control/control.txt" \
    "$card/ardlow/log.txt" || fail "launcher: $(head -n1 "$card/ardlow/log.txt")"
title_music port
whole_game port "$card/ardlow/highscore"
quit_game port
echo "ok"
