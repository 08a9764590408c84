#!/bin/sh
# Starts Ardlow from a handheld's ports folder: the program built for this machine, with
# the libraries it carries, in its own folder ardlow/, where it keeps its high score and
# settings. Its output goes to ardlow/log.txt; the game's exit status is the script's.
# ARDLOW_LAUNCHER, when set, is put before the program (an emulator, where the firmware
# is an emulated one).

here=$(cd "$(dirname "$0")" && pwd) || exit 1

case $(uname -m) in
aarch64 | arm64) machine=aarch64 ;;
arm*) machine=armhf ;;
*)
    echo "Ardlow: no build for $(uname -m)" | tee "$here/ardlow/log.txt" >&2
    exit 1
    ;;
esac
# A 64-bit kernel may run a 32-bit system, whose SDL and GL libraries are armhf.
if [ "$machine" = aarch64 ] && [ "$(getconf LONG_BIT 2>/dev/null)" = 32 ]; then
    machine=armhf
fi

# The controller mapping of the device: the port manager's control file knows it where
# there is one; otherwise SDL_GAMECONTROLLERCONFIG as the firmware set it, if at all.
if [ -z "${controlfolder:-}" ]; then
    for folder in /opt/system/Tools/PortMaster /opt/tools/PortMaster /roms/ports/PortMaster \
        /roms2/ports/PortMaster "${XDG_DATA_HOME:-$HOME/.local/share}/PortMaster"; do
        if [ -f "$folder/control.txt" ]; then
            controlfolder=$folder
            break
        fi
    done
fi
mapping="none"
if [ -n "${controlfolder:-}" ] && [ -f "$controlfolder/control.txt" ]; then
    # shellcheck disable=SC1091 # the firmware's own file
    . "$controlfolder/control.txt"
    if command -v get_controls >/dev/null 2>&1; then
        get_controls
    fi
    if [ -n "${sdl_controllerconfig:-}" ]; then
        SDL_GAMECONTROLLERCONFIG=$sdl_controllerconfig
        mapping="from $controlfolder/control.txt"
    fi
fi
if [ "$mapping" = none ] && [ -n "${SDL_GAMECONTROLLERCONFIG:-}" ]; then
    mapping="from SDL_GAMECONTROLLERCONFIG"
fi
if [ -n "${SDL_GAMECONTROLLERCONFIG:-}" ]; then
    export SDL_GAMECONTROLLERCONFIG
fi

# The game draws with GLES, which comes through EGL; under X11, SDL would otherwise look for
# desktop GL's GLX, which a firmware with only GLES drivers lacks.
SDL_VIDEO_X11_FORCE_EGL=${SDL_VIDEO_X11_FORCE_EGL:-1}
export SDL_VIDEO_X11_FORCE_EGL

cd "$here/ardlow" || exit 1
LD_LIBRARY_PATH="$PWD/libs.$machine${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export LD_LIBRARY_PATH
echo "Ardlow: $machine, controller mapping $mapping" >log.txt
# shellcheck disable=SC2086 # the launcher is a command with its arguments
exec ${ARDLOW_LAUNCHER:-} "./ardlow.$machine" >>log.txt 2>&1
