# The user filter compiler fed with arbitrary text.
lm_add_fuzz(filter_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filter_fuzz.cpp LIBS lmcore_filter)
# The component-format reader (and the SQL builder fed from it).
lm_add_fuzz(dfm_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dfm_fuzz.cpp LIBS lmcore_filter)
