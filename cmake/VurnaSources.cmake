# Collects the C++ sources and headers of the given top-level folders as absolute paths.
# Headers are listed too so that AUTOMOC sees every Q_OBJECT.
function(vurna_collect_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
            "${PROJECT_SOURCE_DIR}/${dir}/*.cpp" "${PROJECT_SOURCE_DIR}/${dir}/*.h")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# One test program per area: every .cpp under tests/<area>/ goes into vurna_<area>_tests,
# linked against the libraries named after LIBS; each GoogleTest case becomes a ctest test.
function(vurna_add_test_area area)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.h")
    if(NOT sources)
        return()
    endif()
    set(target vurna_${area}_tests)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest Qt6::Test)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()

# The .cpp and .h files (absolute paths) of widgets named with or without an extension.
function(vurna_widget_files out)
    set(result)
    foreach(entry IN LISTS ARGN)
        string(REGEX REPLACE "\\.(cpp|h)$" "" stem "${entry}")
        foreach(ext .cpp .h)
            if(EXISTS "${PROJECT_SOURCE_DIR}/${stem}${ext}")
                list(APPEND result "${PROJECT_SOURCE_DIR}/${stem}${ext}")
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES result)
    set(${out} ${result} PARENT_SCOPE)
endfunction()
