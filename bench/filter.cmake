# Filter compile + print of a typical expression, against the local filter parser as the anchor.
lm_add_bench(filter_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filter_bench.cpp LIBS lmcore_filter)
