# GoogleTest for every target, and kelv_add_gtest() that registers one test program.
#
# Linux uses the system's GoogleTest. The Windows builds compile it from /usr/src/googletest
# with the cross compiler. In the mingw-x64 build every test program runs under Wine, in a
# fresh WINEPREFIX inside the build folder that a setup test creates before the others run.

if(NOT KELV_BUILD_TESTS)
  return()
endif()

if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

set(KELV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

if(KELV_WINE_RUNS_TESTS)
  find_program(KELV_WINE NAMES wine wine64 REQUIRED)
  set(KELV_WINE_ENV
      WINEPREFIX=${KELV_WINEPREFIX}
      WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml=)
endif()

# Registers a test. A COMMAND that starts with a target name of this build runs that
# program directly on Linux and under Wine for mingw-x64.
# kelv_add_test_command(NAME name COMMAND exe args... [LABELS ...] [ENVIRONMENT ...])
function(kelv_add_test_command)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set(env ${T_ENVIRONMENT})
  if(KELV_WINE_RUNS_TESTS)
    list(APPEND env ${KELV_WINE_ENV})
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wineprefix)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
  if(env)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()

# One GoogleTest program per module; registered as one test.
# kelv_add_gtest(name SOURCES ... LIBS ... [LABELS ...] [ENVIRONMENT ...] [TIMEOUT s])
function(kelv_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(KELV_WINE_RUNS_TESTS OR NOT WIN32)
    kelv_add_test_command(NAME ${name} COMMAND ${name} --gtest_color=no
                          LABELS ${T_LABELS} ENVIRONMENT ${T_ENVIRONMENT} TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
