kelvarn_bench(NAME edit_corpus SOURCES edit_corpus.cpp DEPS kelvarn_validation kelvarn_catalogue_ui kelvarn_media_ui Qt6::Widgets Qt6::Test)
target_include_directories(bench_edit_corpus PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(bench_edit_corpus PRIVATE
  KELVARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KELVARN_TAGS_XML="${CMAKE_SOURCE_DIR}/resources/bin/tags.xml")
