# Fuzz targets of the settings subsystem: tagged text and registry files.
kelv_add_fuzzer(tagged_text settings_tagged_text_fuzz.cpp kelv_settings)
kelv_add_fuzzer(reg_file settings_reg_file_fuzz.cpp kelv_settings)
if(TARGET confbase_commands)
  kelv_add_fuzzer(branding settings_branding_fuzz.cpp confbase_commands)
endif()
