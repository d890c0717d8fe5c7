# The script compiler and interpreter fed with arbitrary text.
lm_add_fuzz(script_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/script_fuzz.cpp LIBS lmcore_script)
