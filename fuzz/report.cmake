# The text report library: every operation on bytes saved as each kind of file it reports on.
kelvarn_fuzz_target(text_report SOURCES text_report.cpp DEPS kelvarn_media)
if(TEST fuzz_replay_text_report)
  set_tests_properties(fuzz_replay_text_report PROPERTIES LABELS "fuzz;reports")
endif()
