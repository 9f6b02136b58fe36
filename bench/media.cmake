# Image codecs against their references: libjpeg-turbo, libsquish and stb_image.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SQUISH REQUIRED IMPORTED_TARGET libsquish)

set(media_bench_support ${CMAKE_SOURCE_DIR}/tests/media/ImageBuilders.cpp)
set(media_bench_includes ${CMAKE_SOURCE_DIR}/tests/media ${CMAKE_SOURCE_DIR}/bench)

kelvarn_bench(NAME jpeg_decode SOURCES jpeg_decode.cpp ${media_bench_support} DEPS kelvarn_media)
target_include_directories(bench_jpeg_decode PRIVATE ${media_bench_includes})
