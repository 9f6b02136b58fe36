kelvarn_bench(NAME outline SOURCES outline.cpp DEPS kelvarn_catalogue_ui Qt6::Widgets)
