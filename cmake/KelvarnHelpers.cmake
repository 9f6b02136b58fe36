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
  # Labels and environment are lists, which the discovery's property list would flatten; they are set
  # by a file CTest reads after the discovered tests.
  gtest_discover_tests(${K_NAME} DISCOVERY_MODE PRE_TEST TEST_LIST ${K_NAME}_TESTS)
  set(props_file ${CMAKE_CURRENT_BINARY_DIR}/${K_NAME}_properties.cmake)
  set(props "LABELS \"${K_LABELS}\"")
  if(K_ENVIRONMENT)
    string(APPEND props " ENVIRONMENT \"${K_ENVIRONMENT}\"")
  endif()
  file(WRITE ${props_file}
    "if(${K_NAME}_TESTS)\n  set_tests_properties(\${${K_NAME}_TESTS} PROPERTIES ${props})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props_file})
endfunction()
