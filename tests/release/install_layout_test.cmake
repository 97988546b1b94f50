# Installs the build BUILD into a fresh PREFIX with `cmake --install --strip` and checks that
# exactly the files EXPECTED (paths below PREFIX) were installed: nothing missing, no test
# program or library carried along.
# cmake -DBUILD=dir -DPREFIX=dir -DEXPECTED=a;b;... -P install_layout_test.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} --strip
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()

file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
# "./name" and "name" are the same place.
set(expected)
foreach(path ${EXPECTED})
  string(REGEX REPLACE "^\\./" "" path "${path}")
  list(APPEND expected ${path})
endforeach()
list(SORT installed)
list(SORT expected)
set(missing ${expected})
if(installed)
  list(REMOVE_ITEM missing ${installed})
endif()
set(extra ${installed})
if(expected)
  list(REMOVE_ITEM extra ${expected})
endif()
if(missing OR extra)
  message(FATAL_ERROR "install layout differs\n  missing: ${missing}\n  not expected: ${extra}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "installed as expected: ${installed}")
