# Colour rules: CalcColors with five rules over 100,000 records against the conditions in C++.
lm_add_bench(color_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/color_bench.cpp LIBS lmcore_color)
