# Windows x86_64 with mingw-w64; test programs run under Wine (see KelvTesting.cmake).
set(KELV_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
set(KELV_WINE_RUNS_TESTS ON)
# add_test() on a target of this build runs it through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
