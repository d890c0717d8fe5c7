# Fuzz targets of the string library.
lm_add_fuzz(strs_fuzz SOURCES strs_fuzz.cpp LIBS lmcore_util)
