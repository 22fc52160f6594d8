# Every test program runs under Wine in the build folder's own session: one
# Xvfb display, one persistent wineserver and a booted private prefix, started
# by the first test and stopped by the last (CTest fixtures).
set(AIRVANE_WINE_SESSION ${CMAKE_SOURCE_DIR}/scripts/wine-session)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR})

add_test(NAME wine.start COMMAND ${AIRVANE_WINE_SESSION} start ${CMAKE_BINARY_DIR})
add_test(NAME wine.stop COMMAND ${AIRVANE_WINE_SESSION} stop ${CMAKE_BINARY_DIR})
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# airvane_test(<name> SOURCES <files...> LIBRARIES <libraries...> [FIXTURES <fixtures...>])
# One test program is one CTest test: each Wine process start costs time.
function(airvane_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;FIXTURES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${AIRVANE_TEST_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} test_support gmock gtest)
    target_link_options(${name} PRIVATE ${AIRVANE_WIDE_ENTRY_LINK_OPTIONS})
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "wine;${ARG_FIXTURES}")
endfunction()
