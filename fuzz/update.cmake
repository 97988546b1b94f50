# Fuzz target of the update run: what a file carries behind its executable image (the
# payload footer of either layout, ELF and PE headers).
kelv_add_fuzzer(payload_footer update_payload_footer_fuzz.cpp kelv_update)
