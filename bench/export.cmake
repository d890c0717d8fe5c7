# Spreadsheet export: xlsx against libxlsxwriter, ods against LibreOffice, peak memory.
lm_add_bench(export_bench SOURCES export_bench.cpp LIBS lmcore_export)
