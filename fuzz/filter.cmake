# The user filter compiler fed with arbitrary text.
lm_add_fuzz(filter_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filter_fuzz.cpp LIBS lmcore_filter)
