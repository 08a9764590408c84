# Toolchain for 64-bit ARM handhelds (Debian arm64); see cross.cmake.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(ARDLOW_TRIPLET aarch64-linux-gnu)
set(ARDLOW_QEMU qemu-aarch64)
set(ARDLOW_DEB_ARCH arm64)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
