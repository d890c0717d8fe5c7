# Host layer: the local filter over a million in-memory records against a hand-written loop.
lm_add_bench(localfilter_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/localfilter_bench.cpp LIBS lmcore_host)
