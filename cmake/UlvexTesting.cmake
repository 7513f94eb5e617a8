# GoogleTest from Debian: the packaged library natively, its sources for Windows.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(ULVEX_GTEST_LIBS gmock gtest)
  set(ULVEX_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ULVEX_GTEST_LIBS GTest::gmock GTest::gtest)
  set(ULVEX_GTEST_MAIN GTest::gtest_main)
endif()

set(ULVEX_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
# Wine takes a path that starts with / as one on the current drive; Z: is the Unix root.
if(CMAKE_CROSSCOMPILING)
  set(ULVEX_TEST_RESULTS_ARG Z:${ULVEX_TEST_RESULTS})
else()
  set(ULVEX_TEST_RESULTS_ARG ${ULVEX_TEST_RESULTS})
endif()
file(MAKE_DIRECTORY ${ULVEX_TEST_RESULTS})

# ulvex_add_test(NAME SOURCES ... LIBS ...): one GoogleTest binary, one CTest
# entry. Each binary writes JUnit XML that tools/test counts; under Wine one
# process per binary keeps the suite fast.
function(ulvex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ULVEX_GTEST_LIBS} ${ULVEX_GTEST_MAIN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${ULVEX_TEST_RESULTS_ARG}/${name}.xml)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    ENVIRONMENT "ULVEX_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;ULVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
