# XML parse and save of a large generated document, against pugixml (a benchmark-only anchor).
find_package(pugixml REQUIRED)
lm_add_bench(xml_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/xml_bench.cpp LIBS lmcore_xml pugixml::pugixml)
