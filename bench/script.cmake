kelvarn_bench(NAME script_batch SOURCES script_batch_bench.cpp DEPS kelvarn_validation)
kelvarn_bench(NAME script_edit SOURCES script_edit_bench.cpp DEPS kelvarn_validation)
kelvarn_bench(NAME copy_files SOURCES copy_files.cpp DEPS kelvarn_validation)
