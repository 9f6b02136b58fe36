# Image codecs against their references: libjpeg-turbo, libsquish and stb_image.
find_library(SQUISH_LIBRARY squish REQUIRED)  # its pkg-config file names a wrong include folder

set(media_bench_support ${CMAKE_SOURCE_DIR}/tests/media/ImageBuilders.cpp)
set(media_bench_includes ${CMAKE_SOURCE_DIR}/tests/media ${CMAKE_SOURCE_DIR}/bench)

kelvarn_bench(NAME jpeg_decode SOURCES jpeg_decode.cpp ${media_bench_support} DEPS kelvarn_media)
target_include_directories(bench_jpeg_decode PRIVATE ${media_bench_includes})

# gomp: libsquish's OpenMP runtime, which the benchmark holds to one thread.
kelvarn_bench(NAME dxt_decode SOURCES dxt_decode.cpp DEPS kelvarn_media ${SQUISH_LIBRARY} gomp)
target_include_directories(bench_dxt_decode PRIVATE ${media_bench_includes})

find_library(STB_LIBRARY stb REQUIRED)
kelvarn_bench(NAME tga_bmp_read SOURCES tga_bmp_read.cpp ${media_bench_support} DEPS kelvarn_media ${STB_LIBRARY})
target_include_directories(bench_tga_bmp_read PRIVATE ${media_bench_includes})

kelvarn_bench(NAME image_corpus SOURCES image_corpus.cpp DEPS kelvarn_media)
target_include_directories(bench_image_corpus PRIVATE ${media_bench_includes})

# The sound repair against a one-shot libsndfile + libsamplerate reference.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(BENCH_SAMPLERATE REQUIRED IMPORTED_TARGET samplerate)
kelvarn_bench(NAME audio_repair SOURCES audio_repair.cpp DEPS kelvarn_media PkgConfig::BENCH_SNDFILE PkgConfig::BENCH_SAMPLERATE)
target_include_directories(bench_audio_repair PRIVATE ${media_bench_includes})

# Normal maps against the definition as written; the resampler against ImageMagick's triangle filter.
kelvarn_bench(NAME normal_map SOURCES normal_map.cpp DEPS kelvarn_media)
target_include_directories(bench_normal_map PRIVATE ${media_bench_includes})
pkg_check_modules(BENCH_MAGICKPP REQUIRED IMPORTED_TARGET Magick++)
kelvarn_bench(NAME thumbnail_resample SOURCES thumbnail_resample.cpp DEPS kelvarn_media PkgConfig::BENCH_MAGICKPP)
target_include_directories(bench_thumbnail_resample PRIVATE ${media_bench_includes})
