# Tests of the analysis subsystem.
# Reports, statistics and the workbook writer (workbooks are read back cell by cell).
kvr_add_test(analysis_reports
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cumulative_report_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/span_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statistics_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/workbook_writer_test.cpp
  LIBS kvr_testsupport)

# Export of records to workbooks and CSV files, read back cell by cell.
kvr_add_test(analysis_export
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/export_test.cpp
  LIBS kvr_testsupport)
# Configuration report texts and the event-log lists.
kvr_add_test(analysis_records
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config_report_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/event_lists_test.cpp
  LIBS kvr_testsupport)
# Alarms while acquiring: limit checks and the alarm file.
kvr_add_test(analysis_alarms
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/alarm_test.cpp
  LIBS kvr_testsupport)
