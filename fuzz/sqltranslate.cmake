# Fuzz target of the query translator: DeAccesASQL and its operations on arbitrary text.
kelv_add_fuzzer(sqltranslate ${CMAKE_CURRENT_LIST_DIR}/sqltranslate_fuzz.cpp kelv_sqltranslate)
