# Tests of the analysis subsystem.
# Window arithmetic, value scale, display pages and read-out of the history curves.
kvr_add_test(analysis_curves
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/curve_readout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/value_scale_test.cpp
  LIBS kvr_testsupport)
# Configuration report texts and the event-log lists.
kvr_add_test(analysis_records
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config_report_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/event_lists_test.cpp
  LIBS kvr_testsupport)
