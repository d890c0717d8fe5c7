# The XML parser, writer and path queries fed with arbitrary text.
lm_add_fuzz(xml_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/xml_fuzz.cpp LIBS lmcore_xml)
