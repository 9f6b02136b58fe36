kelvarn_fuzz_target(script SOURCES script_fuzz.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp
                    DEPS kelvarn_validation)
if(TARGET fuzz_script)
  target_include_directories(fuzz_script PRIVATE ${CMAKE_SOURCE_DIR}/tests)
elseif(TARGET fuzz_replay_script)
  target_include_directories(fuzz_replay_script PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
kelvarn_fuzz_target(script_values SOURCES script_values.cpp DEPS kelvarn_validation)
