# Sources of the report windows: cumulative report, totals list and statistics.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cumu_show_view.h
  ${CMAKE_CURRENT_LIST_DIR}/cumu_show_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stat_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/stat_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_table.h
  ${CMAKE_CURRENT_LIST_DIR}/text_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/totals_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/totals_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workbook_path.h
  ${CMAKE_CURRENT_LIST_DIR}/workbook_path.cpp
)
