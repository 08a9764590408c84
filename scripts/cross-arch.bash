# Sourced by build-cross and test-cross: the names that belong to one ARM architecture.
# Usage: source cross-arch.bash ARCH (arm64 or armhf); sets triplet, qemu, build_dir, sysroot.
case "${1:-}" in
arm64) triplet=aarch64-linux-gnu qemu=qemu-aarch64 ;;
armhf) triplet=arm-linux-gnueabihf qemu=qemu-arm ;;
*)
    echo "usage: $(basename "$0") arm64|armhf" >&2
    exit 2
    ;;
esac
arch=$1
build_dir=$root/build-$arch
sysroot=$build_dir/sysroot
