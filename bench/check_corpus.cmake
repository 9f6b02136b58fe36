kelvarn_bench(NAME check_corpus SOURCES check_corpus.cpp DEPS kelvarn_validation)
target_compile_definitions(bench_check_corpus PRIVATE
  KELVARN_TAGS_XML="${CMAKE_SOURCE_DIR}/resources/bin/tags.xml")
