# Widgets: one screen of the grid widget against QTableView over a plain QStandardItemModel.
if(LMPACK_WIDGETS)
  lm_add_bench(gridpaint_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui/gridpaint_bench.cpp LIBS lmwidgets)
endif()
