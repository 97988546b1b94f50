# Windows i686 with mingw-w64: the shipped 32-bit target. Built and linked, not run here.
set(KELV_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
set(KELV_WINE_RUNS_TESTS OFF)
