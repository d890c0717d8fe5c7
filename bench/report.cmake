# A 10,000-row grouped report to PDF against the same texts drawn directly with QPainter.
if(TARGET lmreportqt)
  lm_add_bench(report_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui/report_bench.cpp
               ${PROJECT_SOURCE_DIR}/tests/report/grouped_report.cpp LIBS lmreportqt)
endif()
