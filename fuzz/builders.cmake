kelvarn_fuzz_target(table_builders SOURCES table_builders.cpp ${CMAKE_SOURCE_DIR}/tests/support/MeshFileBuilder.cpp
                    DEPS kelvarn_validation INCLUDES ${CMAKE_SOURCE_DIR}/tests)
kelvarn_fuzz_target(groundplane SOURCES groundplane.cpp DEPS kelvarn_validation)
