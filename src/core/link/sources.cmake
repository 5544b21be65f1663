# Sources of the instrument link subsystem.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/acquisition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxlink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instrument_scan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bus_station.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bus_thread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_recovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/live_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/poll_thread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/realtime_config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/upload_workers.cpp
)
