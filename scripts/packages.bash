# Sourced by scripts/setup and scripts/build-cross: the Debian packages the project needs,
# in one list, so that an ARM sysroot holds the same libraries as this machine.
# shellcheck disable=SC2034 # the lists are read by the scripts that source this

# What the game links and its tests and tools build against or load (also unpacked,
# for ARM, into build-cross's sysroots).
library_packages=(
    libsdl2-dev libsdl2-mixer-dev libgles-dev libegl-dev libgl1-mesa-dri
    libglm-dev liblodepng-dev libvorbis-dev nlohmann-json3-dev libinih-dev zlib1g-dev
    libgtest-dev libgmock-dev
)

# What builds, runs and checks it on this machine.
tool_packages=(
    cmake g++ pkg-config
    libx11-dev xvfb xdotool imagemagick x11-utils
    evilwm                         # a window manager, which carries out a switch to full screen
    clang libclang-rt-14-dev llvm  # libFuzzer, and llvm-symbolizer for sanitizer reports
    dpkg-dev file lintian          # the Debian package: dpkg-shlibdeps, file for CPack, its checker
    desktop-file-utils appstream   # validators of the desktop entry and the metadata
    mandoc shellcheck zip unzip    # the manual page's checker; the port's launcher and archive
)
