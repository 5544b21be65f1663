# Sources of the charts: live bar gauges and dial, the history circular chart.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/bar_panel_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bar_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/circle_chart_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dial_painter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/range_dial_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/range_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rrange_view.cpp
)
