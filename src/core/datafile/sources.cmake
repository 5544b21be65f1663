# Sources of the data-file subsystem.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/config_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxfile_follow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxfile_live.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxfile_upload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cxfile_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gbk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lookup_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time.cpp
  ${CMAKE_CURRENT_LIST_DIR}/triple.cpp
)
