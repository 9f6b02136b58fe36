# Warnings for our own code only.
function(kelvarn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# kelvarn_library(NAME name SOURCES ... DEPS ...): one library per subsystem and layer.
function(kelvarn_library)
  cmake_parse_arguments(K "" "NAME" "SOURCES;DEPS" ${ARGN})
  add_library(${K_NAME} STATIC ${K_SOURCES})
  target_include_directories(${K_NAME} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${K_NAME} PUBLIC ${K_DEPS})
  kelvarn_warnings(${K_NAME})
endfunction()

# kelvarn_test(NAME name LABELS ... SOURCES ... DEPS ... [ENVIRONMENT ...]): a GoogleTest program whose
# cases CTest lists one by one, each carrying the labels.
function(kelvarn_test)
  cmake_parse_arguments(K "" "NAME" "SOURCES;DEPS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${K_NAME} ${K_SOURCES})
  target_link_libraries(${K_NAME} PRIVATE kelvarn_test_support ${K_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${K_NAME} PRIVATE KELVARN_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
                                                KELVARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  kelvarn_warnings(${K_NAME})
  gtest_discover_tests(${K_NAME} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${K_LABELS}" ENVIRONMENT "${K_ENVIRONMENT}")
endfunction()
