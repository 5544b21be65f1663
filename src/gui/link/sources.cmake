# Sources of the gui/link windows: the serial-parameter and default-display dialogs and the
# history upload dialog.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/color_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/com_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxcom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxviewdef.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serial_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_relay.h
  ${CMAKE_CURRENT_LIST_DIR}/upload_relay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_def_dlg.cpp
)
