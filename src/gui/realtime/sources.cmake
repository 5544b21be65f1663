# Sources of the gui/realtime windows.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/alarm_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/alarm_watch.h
  ${CMAKE_CURRENT_LIST_DIR}/alarm_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/alarm_window.h
  ${CMAKE_CURRENT_LIST_DIR}/rc_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rc_view.h
  ${CMAKE_CURRENT_LIST_DIR}/rc_view_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/real_curve_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/real_curve_ctrl.h
)
