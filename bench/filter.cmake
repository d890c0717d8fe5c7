# Filter compile + print of a typical expression, against the local filter parser as the anchor.
lm_add_bench(filter_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filter_bench.cpp LIBS lmcore_filter)
# Context search of two words over a million records against a hand-written loop.
lm_add_bench(contextsearch_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/contextsearch_bench.cpp LIBS lmcore_filter)
# BuildSQL of a 20-field, 6-table builder against joining the finished text's lines.
lm_add_bench(sqlbuilder_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sqlbuilder_bench.cpp LIBS lmcore_filter)
