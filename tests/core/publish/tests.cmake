# Tests of the publish subsystem that need no broker: payloads, the cursor, the archive.
kvr_add_test(publish
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/record_payload_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/publish_cursor_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_archive_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instrument_sources_test.cpp
  LIBS kvr_testsupport kvr_publish)
