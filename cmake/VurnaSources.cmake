# Collects the C++ sources and headers of the given top-level folders as absolute paths.
# Headers are listed too so that AUTOMOC sees every Q_OBJECT. Code that differs by OS lives in
# one file per OS beside the common interface: Name_posix.cpp and Name_win.cpp; only the one for
# the OS being built for is taken.
function(vurna_collect_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
            "${PROJECT_SOURCE_DIR}/${dir}/*.cpp" "${PROJECT_SOURCE_DIR}/${dir}/*.h")
        list(APPEND result ${found})
    endforeach()
    vurna_filter_os(result)
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Drops the files meant for the other OS (see above) from the list named `var`.
function(vurna_filter_os var)
    if(WIN32)
        list(FILTER ${var} EXCLUDE REGEX "_posix\\.(cpp|h)$")
    else()
        list(FILTER ${var} EXCLUDE REGEX "_win\\.(cpp|h|rc)$")
    endif()
    set(${var} ${${var}} PARENT_SCOPE)
endfunction()

# One test program per area: the .cpp files directly in tests/<area>/ (an area may be a ui/
# folder, "board/ui") go into vurna_<area>_tests, linked against the libraries named after LIBS;
# each GoogleTest case becomes a ctest test.
function(vurna_add_test_area area)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.h")
    vurna_filter_os(sources)
    if(NOT sources)
        return()
    endif()
    string(REPLACE "/" "_" name "${area}")
    set(target vurna_${name}_tests)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest Qt6::Test)
    if(vurnaui IN_LIST ARG_LIBS)
        vurna_precompile(${target} widgets-tests)
    else()
        vurna_precompile(${target} core-tests)
    endif()
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    if(WIN32)
        # Under Wine every process start costs a second or more: each program runs its cases in
        # one go. Wine passes no QT_ variable on, so the test mains choose the platform themselves.
        add_test(NAME windows.${name} COMMAND ${target})
        set_tests_properties(windows.${name} PROPERTIES TIMEOUT 900 LABELS windows)
        return()
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()
