# Both mesh benchmarks make their meshes with the tests' builder (never part of the program).
kelvarn_bench(NAME mesh_load SOURCES mesh_load.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp DEPS kelvarn_media)
target_include_directories(bench_mesh_load PRIVATE ${CMAKE_SOURCE_DIR}/tests)
kelvarn_bench(NAME mesh_corpus SOURCES mesh_corpus.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp DEPS kelvarn_media)
target_include_directories(bench_mesh_corpus PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# Needs a display: scripts/bench runs it under Xvfb.
kelvarn_bench(NAME mesh_render SOURCES mesh_render.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp DEPS kelvarn_media_ui)
target_include_directories(bench_mesh_render PRIVATE ${CMAKE_SOURCE_DIR}/tests)
