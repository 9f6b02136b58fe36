kelvarn_bench(NAME validate_corpus SOURCES validate_corpus.cpp DEPS kelvarn_validation)
target_compile_definitions(bench_validate_corpus PRIVATE
  KELVARN_TAGS_XML="${CMAKE_SOURCE_DIR}/resources/bin/tags.xml"
  KELVARN_TYPICAL_ASSETS="${CMAKE_SOURCE_DIR}/tests/data/assets")
