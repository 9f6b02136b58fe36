kelvarn_fuzz_target(ini SOURCES ini.cpp DEPS kelvarn_shell)
