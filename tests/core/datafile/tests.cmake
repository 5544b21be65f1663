# Tests of the data-file subsystem.
kvr_add_test(datafile
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/codec_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config_record_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cxfile_access_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cxfile_open_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cxfile_write_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/robustness_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sample_file_test.cpp
  LIBS kvr_testsupport)
