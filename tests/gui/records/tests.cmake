# The configuration report, event lists and file information windows.
kvr_add_test(gui_records
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/records_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
