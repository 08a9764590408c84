# Installs like Debian's own games: the program in games/, its data in share/games/ardlow/
# (found from the program as ../share/games/ardlow/, so any prefix works), the desktop
# entry, the icons and the AppStream metadata where desktops look for them, the licence
# and the changelog in share/doc/ardlow/. CPack makes the .deb from the same rules.
include(GNUInstallDirs)

set(ARDLOW_APP_ID org.ardlow.ardlow)
set(ARDLOW_MAINTAINER "The Ardlow developers <ardlow@localhost>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

install(TARGETS ardlow RUNTIME DESTINATION games)
# The manual page in section 6, games, compressed as Debian wants it; -n leaves the name and
# time out, so the same page gives the same bytes.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/ardlow.6.gz
                   COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/dist/ardlow.6 > ${CMAKE_BINARY_DIR}/ardlow.6.gz
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/ardlow.6)
add_custom_target(manual_page ALL DEPENDS ${CMAKE_BINARY_DIR}/ardlow.6.gz)
install(FILES ${CMAKE_BINARY_DIR}/ardlow.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The data the asset maker staged, and nothing else a played stage may hold ("highscore").
install(DIRECTORY ${ARDLOW_STAGE_DIR}/textures ${ARDLOW_STAGE_DIR}/music ${ARDLOW_STAGE_DIR}/sfx
        DESTINATION ${CMAKE_INSTALL_DATADIR}/games/ardlow
        FILES_MATCHING PATTERN "*.png" PATTERN "*.ogg" PATTERN "*.wav")
install(DIRECTORY ${ARDLOW_STAGE_DIR}/icons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        FILES_MATCHING PATTERN "ardlow.png")
install(FILES ${CMAKE_SOURCE_DIR}/dist/${ARDLOW_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/dist/${ARDLOW_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${ARDLOW_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${ARDLOW_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The changelog goes compressed like the manual page, with the maintainer of the package.
configure_file(${CMAKE_SOURCE_DIR}/dist/changelog.in ${CMAKE_BINARY_DIR}/dist/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
                   COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/dist/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/dist/changelog)
add_custom_target(compressed_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package's architecture is the build machine's; a cross build names its target's.
execute_process(COMMAND dpkg --print-architecture
                OUTPUT_VARIABLE ARDLOW_NATIVE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${ARDLOW_NATIVE_ARCHITECTURE}"
    CACHE STRING "Debian architecture of the package (dpkg --print-architecture by default)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ardlow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D snake game: fly a snake of cubes through a cage of wall bars")
# Debian shows the description as it is: lines of at most 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Fly a snake of cubes through an open cage of wall bars, eat spinning pickups\n"
    "to grow and keep your best score. Made for small Linux handhelds, it plays on\n"
    "any Linux desktop with OpenGL ES 2.0.")
set(CPACK_PACKAGE_CONTACT "${ARDLOW_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the libraries the program links (dpkg-shlibdeps), not a list by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME "ardlow_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb")
include(CPack)
