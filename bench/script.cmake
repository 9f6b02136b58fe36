kelvarn_bench(NAME script_batch SOURCES script_batch_bench.cpp DEPS kelvarn_validation)
