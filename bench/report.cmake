# The text report library against whole-file reads with stb_image's header probe and TMesh loading.
find_library(STB_LIBRARY stb REQUIRED)
kelvarn_bench(NAME text_report SOURCES text_report.cpp ${CMAKE_SOURCE_DIR}/tests/media/ImageBuilders.cpp
              ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp DEPS kelvarn_media ${STB_LIBRARY})
target_include_directories(bench_text_report PRIVATE ${CMAKE_SOURCE_DIR}/tests/media ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(bench_text_report PRIVATE KELVARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
