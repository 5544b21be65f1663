# Sources of the gui/records windows: configuration report, event-log lists, file information.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/config_report_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/config_report_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_list_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/event_list_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_info_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/file_info_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_info_layout.cpp
)
