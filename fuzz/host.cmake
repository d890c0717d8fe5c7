# The dataset's local filter language fed with arbitrary text.
lm_add_fuzz(filterexpr_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filterexpr_fuzz.cpp LIBS lmcore_host)
