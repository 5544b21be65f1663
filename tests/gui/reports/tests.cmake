# The cumulative report, totals and statistics windows.
kvr_add_test(gui_reports
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/report_windows_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
