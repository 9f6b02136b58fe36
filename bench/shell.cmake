kelvarn_bench(NAME shell SOURCES shell_bench.cpp DEPS kelvarn_shell)
