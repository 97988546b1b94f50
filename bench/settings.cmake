# Settings benchmarks: reading a tag from a big settings text, and cipher throughput.
kelv_add_benchmark(settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_bench.cpp LIBS kelv_settings)
