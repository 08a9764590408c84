# Shared by the ARM toolchain files: Debian's cross compiler for ARDLOW_TRIPLET, and every
# library, header and pkg-config file from the private sysroot that scripts/build-cross
# unpacks from the architecture's Debian packages (ARDLOW_SYSROOT, by default sysroot/
# in the build tree). Programs built here run under qemu-user with that sysroot, so CTest
# and the test discovery can run them on the build machine.
set(CMAKE_SYSTEM_NAME Linux)
# try_compile projects read this file again and need the same sysroot and compiler.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ARDLOW_SYSROOT ARDLOW_TOOLCHAIN)
if(ARDLOW_TOOLCHAIN)
    # A build for handheld firmwares (build-cross --portable): Debian 11's own cross
    # compiler, unpacked in ARDLOW_TOOLCHAIN, whose C++ runtime asks no more of the C library
    # than Debian 11's glibc has, and that runtime linked in, since firmwares ship an older one.
    set(CMAKE_C_COMPILER ${ARDLOW_TOOLCHAIN}/usr/bin/${ARDLOW_TRIPLET}-gcc-10)
    set(CMAKE_CXX_COMPILER ${ARDLOW_TOOLCHAIN}/usr/bin/${ARDLOW_TRIPLET}-g++-10)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc")
else()
    set(CMAKE_C_COMPILER ${ARDLOW_TRIPLET}-gcc)
    set(CMAKE_CXX_COMPILER ${ARDLOW_TRIPLET}-g++)
endif()

if(NOT ARDLOW_SYSROOT)
    set(ARDLOW_SYSROOT ${CMAKE_BINARY_DIR}/sysroot)
endif()
set(CMAKE_SYSROOT ${ARDLOW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_LIBRARY_ARCHITECTURE ${ARDLOW_TRIPLET})

# pkg-config reads only the sysroot's .pc files and prefixes the paths it prints.
set(ENV{PKG_CONFIG_LIBDIR}
    ${ARDLOW_SYSROOT}/usr/lib/${ARDLOW_TRIPLET}/pkgconfig:${ARDLOW_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${ARDLOW_SYSROOT})
set(ENV{PKG_CONFIG_PATH} "")
# The sysroot's include folder is the compiler's own: named again as a -isystem folder, it
# would come before the C++ headers and hide the C headers their #include_next looks for.
set(ENV{PKG_CONFIG_SYSTEM_INCLUDE_PATH} ${ARDLOW_SYSROOT}/usr/include)

set(CMAKE_CROSSCOMPILING_EMULATOR ${ARDLOW_QEMU} -L ${ARDLOW_SYSROOT})

# A package made from this tree is for the target architecture, and dpkg-shlibdeps finds
# the program's libraries in the sysroot (with DPKG_ADMINDIR at its dpkg database).
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${ARDLOW_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${ARDLOW_SYSROOT}/lib/${ARDLOW_TRIPLET} ${ARDLOW_SYSROOT}/usr/lib/${ARDLOW_TRIPLET})
