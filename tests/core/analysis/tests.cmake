# Tests of the analysis subsystem.
# Window arithmetic, value scale, display pages and read-out of the history curves.
kvr_add_test(analysis_curves
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/curve_readout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/value_scale_test.cpp
  LIBS kvr_testsupport)

# Export of records to workbooks and CSV files, read back cell by cell.
kvr_add_test(analysis_export
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/export_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/workbook_cells.cpp
  LIBS kvr_testsupport)
