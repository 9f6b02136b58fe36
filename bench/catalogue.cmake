kelvarn_bench(NAME config_corpus SOURCES config_corpus.cpp DEPS kelvarn_catalogue)
target_compile_definitions(bench_config_corpus PRIVATE KELVARN_CONFIG_FIXTURES="${CMAKE_SOURCE_DIR}/tests/data/config")
