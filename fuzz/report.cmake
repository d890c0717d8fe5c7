# The .frf reader and converter, and the .fr3 loader, fed with arbitrary bytes.
lm_add_fuzz(frf_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/frf_fuzz.cpp LIBS lmcore_report)
lm_add_fuzz(fr3_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fr3_fuzz.cpp LIBS lmcore_report)
