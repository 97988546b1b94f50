# Fuzz target of the FTP client: the remote listing readers.
kelv_add_fuzzer(ftp_listing ${CMAKE_CURRENT_LIST_DIR}/ftp_listing_fuzz.cpp kelv_ftp)
