# The demo application: start-up to a painted goods window against fetching one screen of rows.
if(LMPACK_WIDGETS)
  lm_add_bench(demo_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui/demo_bench.cpp LIBS lmdemo fbclient)
endif()
