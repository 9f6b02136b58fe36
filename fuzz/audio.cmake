# The sound readers (libsndfile behind our decoder and repair). Seeds: small sounds of each kind,
# each preceded by the byte that picks its extension.
kelvarn_fuzz_target(audio_decode SOURCES audio_decode.cpp DEPS kelvarn_media)
if(TEST fuzz_replay_audio_decode)
  set_tests_properties(fuzz_replay_audio_decode PROPERTIES LABELS "fuzz;audio_table")
endif()
