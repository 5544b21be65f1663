# Sources of the analysis subsystem: reports, statistics, configuration texts, export rows
# and the workbook writer.
# Reports, statistics and the workbook writer.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cumulative_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/period_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/span_figures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statistics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_workbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/totals_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workbook_writer.cpp
)
# Export of records to workbooks and CSV files (kvrtool and the Sheetout library).
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/csv_export_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_run.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/temp_target.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xlsx_export_sink.cpp
)
# Instrument records: configuration texts, the configuration report, the event-log lists.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/config_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_report_flow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_report_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_lists.cpp
)
# Alarms while acquiring: the limit checks and the alarm file.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/alarm_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/alarm_monitor.cpp
)
