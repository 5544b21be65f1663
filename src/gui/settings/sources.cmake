# Sources of the settings dialogs: serial parameters and default display, and their widgets.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/color_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/com_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxcom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxviewdef.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serial_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_def_dlg.cpp
)
