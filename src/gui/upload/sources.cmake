# Sources of the history upload dialog.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/upload_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_relay.h
  ${CMAKE_CURRENT_LIST_DIR}/upload_relay.cpp
)
