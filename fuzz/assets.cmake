# The asset list's readers: a config's KUID line, tool lines and the install log.
foreach(name kuid_line tool_line install_log)
  kelvarn_fuzz_target(${name} SOURCES ${name}.cpp DEPS kelvarn_catalogue)
  if(TEST fuzz_replay_${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS "fuzz;catalogue")
  endif()
endforeach()
