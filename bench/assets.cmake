kelvarn_bench(NAME asset_scan SOURCES asset_scan.cpp DEPS kelvarn_catalogue)
kelvarn_bench(NAME kuid_map SOURCES kuid_map.cpp DEPS kelvarn_catalogue)
