kelvarn_bench(NAME list_edit SOURCES list_edit.cpp DEPS kelvarn_catalogue)
