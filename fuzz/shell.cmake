kelvarn_fuzz_target(ini SOURCES ini.cpp DEPS kelvarn_shell)
kelvarn_fuzz_target(handover_message SOURCES handover_message.cpp DEPS kelvarn_shell)
kelvarn_fuzz_target(colour_text SOURCES colour_text.cpp DEPS kelvarn_shell)
kelvarn_fuzz_target(menu_settings SOURCES menu_settings.cpp DEPS kelvarn_shell)
