# The Windows build, cross-compiled with mingw-w64 against Qt for Windows (tools/windows/build.sh
# sets it up). Win32 converts CP932 and maps kana and widths, so ICU is not linked; GoogleTest
# is built from Debian's own sources with the same compiler.
set(VURNA_OS_LIBS ole32 shell32 uuid version mpr user32 ws2_32)

set(VURNA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources to build for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VURNA_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
endif()

# The C++ runtime stays the DLL that Qt's own DLLs use (the installer ships it): two copies of
# it in one process, one linked into the program and one in Qt, do not share their state.
# Runs after the programs are defined: the version resource and icon, the GUI subsystem, and
# the files the installer and the zip ship.
function(vurna_windows_program_parts)
    set(VURNA_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
    string(LENGTH "${PROJECT_VERSION_MINOR}" minorLength)
    if(minorLength LESS 2)
        set(VURNA_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
    endif()
    set(VURNA_ICON "${PROJECT_SOURCE_DIR}/resources/windows/vurnaboard.ico")
    foreach(program Vurna3 updater)
        if(NOT TARGET ${program})
            continue()
        endif()
        if(program STREQUAL "Vurna3")
            set(VURNA_FILE_DESCRIPTION "Vurnaboard")
            set(VURNA_ORIGINAL_NAME "Vurna3.exe")
        else()
            set(VURNA_FILE_DESCRIPTION "Vurnaboard updater")
            set(VURNA_ORIGINAL_NAME "Vurnup.exe")
        endif()
        configure_file("${PROJECT_SOURCE_DIR}/resources/windows/version.rc.in"
            "${PROJECT_BINARY_DIR}/${program}_version.rc" @ONLY)
        target_sources(${program} PRIVATE "${PROJECT_BINARY_DIR}/${program}_version.rc")
        set_target_properties(${program} PROPERTIES WIN32_EXECUTABLE ON)
    endforeach()
    # The update check reads the running program's version: the window tests carry the board
    # program's resource so that they read what Vurna3.exe reads.
    if(TARGET vurna_app_tests)
        target_sources(vurna_app_tests PRIVATE "${PROJECT_BINARY_DIR}/Vurna3_version.rc")
    endif()
endfunction()
