# The table grid on comma-separated lines.
kelvarn_fuzz_target(table_csv SOURCES table_csv.cpp DEPS kelvarn_media)
if(TEST fuzz_replay_table_csv)
  set_tests_properties(fuzz_replay_table_csv PROPERTIES LABELS "fuzz;audio_table")
endif()
