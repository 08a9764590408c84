# Sourced by build-cross, test-cross, package and package-port: the names that belong to one
# ARM architecture. Usage: source cross-arch.bash ARCH [--portable] (ARCH arm64 or armhf);
# sets arch, triplet, qemu, port_arch (the name uname -m gives on such a handheld, as the
# port's files are named), build_dir and sysroot; with --portable, portable=1 and the
# firmware build's tree.
# shellcheck disable=SC2034,SC2154 # sets names for the script that sources it, from its root
case "${1:-}" in
arm64) triplet=aarch64-linux-gnu qemu=qemu-aarch64 port_arch=aarch64 ;;
armhf) triplet=arm-linux-gnueabihf qemu=qemu-arm port_arch=armhf ;;
*)
    echo "usage: $(basename "$0") arm64|armhf" >&2
    exit 2
    ;;
esac
arch=$1
portable=
[ "${2:-}" != --portable ] || portable=1
build_dir=$root/build-$arch${portable:+-portable}
sysroot=$build_dir/sysroot
