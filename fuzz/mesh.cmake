kelvarn_fuzz_target(mesh_chunks SOURCES mesh_chunks.cpp DEPS kelvarn_shell)
kelvarn_fuzz_target(mesh_model SOURCES mesh_model.cpp DEPS kelvarn_media)
# The mesh header check and the texture entries the file and texture checks read.
kelvarn_fuzz_target(mesh_textures SOURCES mesh_textures.cpp DEPS kelvarn_media)
if(TEST fuzz_replay_mesh_textures)
  set_tests_properties(fuzz_replay_mesh_textures PROPERTIES LABELS "fuzz;checks")
endif()
