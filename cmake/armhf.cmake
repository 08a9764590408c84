# Toolchain for 32-bit ARM handhelds with hardware floating point (Debian armhf); see cross.cmake.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ARDLOW_TRIPLET arm-linux-gnueabihf)
set(ARDLOW_QEMU qemu-arm)
set(ARDLOW_DEB_ARCH armhf)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
