kelvarn_fuzz_target(mesh_chunks SOURCES mesh_chunks.cpp DEPS kelvarn_shell)
kelvarn_fuzz_target(mesh_model SOURCES mesh_model.cpp DEPS kelvarn_media)
