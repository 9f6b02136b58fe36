# The asset helpers against a directory walk, plain file reads and a text scan; meshes from the tests' builder.
kelvarn_bench(NAME asset_tools SOURCES asset_tools.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp DEPS kelvarn_catalogue)
target_include_directories(bench_asset_tools PRIVATE ${CMAKE_SOURCE_DIR}/tests)
