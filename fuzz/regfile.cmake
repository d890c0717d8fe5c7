# The .reg file reader fed with arbitrary bytes.
lm_add_fuzz(regfile_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/regfile_fuzz.cpp LIBS lmcore_store)
