# Update run benchmarks: bench_update_checks runs the installer's two running-program
# checks once, as a process, so bench/update_run.sh can time it against pgrep.
kelv_add_benchmark(update_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/update_checks.cpp
                   LIBS kelv_update)
