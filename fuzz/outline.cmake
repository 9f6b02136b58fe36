kelvarn_fuzz_target(sortorder SOURCES sortorder.cpp DEPS kelvarn_catalogue)
kelvarn_fuzz_target(catalogue SOURCES catalogue.cpp DEPS kelvarn_catalogue)
