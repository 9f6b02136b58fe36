kelvarn_fuzz_target(csv_list SOURCES csv_list.cpp DEPS kelvarn_catalogue)
kelvarn_fuzz_target(lod_reference SOURCES lod_reference.cpp DEPS kelvarn_catalogue)
kelvarn_fuzz_target(tag_values SOURCES tag_values.cpp DEPS kelvarn_catalogue)
