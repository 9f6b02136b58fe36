kelvarn_fuzz_target(script SOURCES script_fuzz.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp
                    DEPS kelvarn_validation INCLUDES ${CMAKE_SOURCE_DIR}/tests)
kelvarn_fuzz_target(script_values SOURCES script_values.cpp DEPS kelvarn_validation)
