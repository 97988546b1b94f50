# Query translator benchmarks: throughput over a corpus of realistic queries and one 64 KB
# query with more than 2,000 call rewrites, each against a single any-case pass as peer.
kelv_add_benchmark(sqltranslate SOURCES ${CMAKE_CURRENT_LIST_DIR}/sqltranslate_bench.cpp
                   LIBS kelv_sqltranslate)
target_compile_definitions(bench_sqltranslate PRIVATE
                           KELV_SQL_CORPUS="${CMAKE_CURRENT_LIST_DIR}/sqltranslate_corpus")
