kelvarn_fuzz_target(table_builders SOURCES table_builders.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp
                    DEPS kelvarn_validation)
if(TARGET fuzz_table_builders)
  target_include_directories(fuzz_table_builders PRIVATE ${CMAKE_SOURCE_DIR}/tests)
elseif(TARGET fuzz_replay_table_builders)
  target_include_directories(fuzz_replay_table_builders PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
kelvarn_fuzz_target(groundplane SOURCES groundplane.cpp DEPS kelvarn_validation)
