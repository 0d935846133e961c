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

# One test program per area: the .cpp files directly in tests/<area>/ (an area may be a ui/
# folder, "board/ui") go into vurna_<area>_tests, linked against the libraries named after LIBS;
# each GoogleTest case becomes a ctest test.
function(vurna_add_test_area area)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.h")
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
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()
