# Sources of the curve control that the history, realtime and printing windows share: the
# plot, its renderer and parts, the channel panel, the span panel, the time scroll bar, tags and labels.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/channel_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/curve_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_ctrl.h
  ${CMAKE_CURRENT_LIST_DIR}/curve_ctrl_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_ctrl_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_page_printer.h
  ${CMAKE_CURRENT_LIST_DIR}/curve_page_printer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_parts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_parts.h
  ${CMAKE_CURRENT_LIST_DIR}/curve_renderer.h
  ${CMAKE_CURRENT_LIST_DIR}/curve_renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/envelope_line.h
  ${CMAKE_CURRENT_LIST_DIR}/envelope_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_status.h
  ${CMAKE_CURRENT_LIST_DIR}/label_placer.h
  ${CMAKE_CURRENT_LIST_DIR}/label_placer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/span_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/span_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/tag_painter.h
  ${CMAKE_CURRENT_LIST_DIR}/tag_painter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_scroll_bar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_scroll_bar.h
)
