kelvarn_bench(NAME text_view_load SOURCES text_view_load.cpp DEPS kelvarn_media_ui Qt6::Widgets)
