# Sources of the data-file subsystem.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cxfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gbk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time.cpp
  ${CMAKE_CURRENT_LIST_DIR}/triple.cpp
)
