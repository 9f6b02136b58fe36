kelvarn_fuzz_target(script SOURCES script_fuzz.cpp DEPS kelvarn_validation)
