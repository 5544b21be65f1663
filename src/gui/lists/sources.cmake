# Sources of the gui/lists windows.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/data_grid.h
  ${CMAKE_CURRENT_LIST_DIR}/data_grid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_grid_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_grid_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grid_table_painter.h
  ${CMAKE_CURRENT_LIST_DIR}/grid_table_painter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_filter_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/list_filter_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_view.h
  ${CMAKE_CURRENT_LIST_DIR}/list_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_view_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_orientation_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/print_orientation_dlg.cpp
)
