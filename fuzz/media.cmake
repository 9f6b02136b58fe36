# The image readers. Seeds in corpus/<name> are written by the media tests' builders
# (KELVARN_WRITE_FUZZ_SEEDS=fuzz/corpus kelvarn_media_tests --gtest_filter=FuzzSeeds.*).
foreach(name bmp tga tga_full texture dxt jpeg)
  kelvarn_fuzz_target(media_${name} SOURCES media_${name}.cpp DEPS kelvarn_media)
  if(TEST fuzz_replay_media_${name})
    set_tests_properties(fuzz_replay_media_${name} PROPERTIES LABELS "fuzz;image")
  endif()
endforeach()
# The descriptor and level-of-detail readers and writers.
foreach(name texture_descriptor lod_file)
  kelvarn_fuzz_target(${name} SOURCES ${name}.cpp DEPS kelvarn_media)
  if(TEST fuzz_replay_${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS "fuzz;media_ui")
  endif()
endforeach()
# The header-only picture size the file and texture checks use.
kelvarn_fuzz_target(image_size SOURCES image_size.cpp DEPS kelvarn_validation)
if(TEST fuzz_replay_image_size)
  set_tests_properties(fuzz_replay_image_size PROPERTIES LABELS "fuzz;checks")
endif()
