kelvarn_bench(NAME shell SOURCES shell_bench.cpp DEPS kelvarn_shell)
kelvarn_bench(NAME alert_append SOURCES alert_append.cpp DEPS kelvarn_shell_ui Qt6::Widgets)
kelvarn_bench(NAME text_roundtrip SOURCES text_roundtrip.cpp DEPS kelvarn_shell)
