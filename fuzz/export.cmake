# The xlsx/ods reader fed with archives, or with archive parts laid out as text.
lm_add_fuzz(sheetreader_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sheetreader_fuzz.cpp LIBS lmcore_sheets)
