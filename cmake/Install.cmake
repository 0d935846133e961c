# Installing under a prefix: both programs side by side in a folder of their own (the board
# program copies the updater beside itself, and the updater replaces the program there), a
# command in bin/, the desktop entry and the icons. `cpack -G DEB` builds the Debian package of
# the same tree under /usr.
include(GNUInstallDirs)

if(NOT TARGET Vurna3)
    return()
endif()

set(VURNA_PROGRAM_DIR "${CMAKE_INSTALL_LIBEXECDIR}/vurnaboard")
install(TARGETS Vurna3 RUNTIME DESTINATION "${VURNA_PROGRAM_DIR}")
if(TARGET updater)
    install(TARGETS updater RUNTIME DESTINATION "${VURNA_PROGRAM_DIR}")
endif()

install(DIRECTORY "${PROJECT_SOURCE_DIR}/resources/icons/hicolor" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")

# The command and the desktop entry name the program by the prefix chosen at install time.
install(CODE "
    set(VURNA_PROGRAM_DIR \"${VURNA_PROGRAM_DIR}\")
    set(VURNA_BIN_DIR \"${CMAKE_INSTALL_BINDIR}\")
    set(VURNA_DATA_DIR \"${CMAKE_INSTALL_DATADIR}\")
    set(VURNA_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/resources/desktop/vurnaboard.desktop.in\")
")
install(SCRIPT "${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake")

set(CPACK_PACKAGE_NAME "vurnaboard")
set(CPACK_PACKAGE_VENDOR "Vurnaboard")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Office in/out board (行き先掲示板) on a shared folder")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vurnaboard team <vurnaboard@localhost>")
# Qt and ICU come from the libraries the programs link; the font is what the board is drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
