# Sources of the history-curve window: the view, its commands and printing.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/continuous_print_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hc_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hc_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hc_view.h
  ${CMAKE_CURRENT_LIST_DIR}/hc_view_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hc_view_follow.cpp
)

# Tags, value labels and the range dialog.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hc_navigation.h
  ${CMAKE_CURRENT_LIST_DIR}/hc_navigation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/range_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/range_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_manager_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/tag_manager_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/value_label_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/value_label_dlg.cpp
)
