kelvarn_fuzz_target(sortorder SOURCES sortorder.cpp DEPS kelvarn_catalogue)
