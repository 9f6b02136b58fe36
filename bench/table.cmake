kelvarn_bench(NAME table SOURCES table.cpp DEPS kelvarn_media)
