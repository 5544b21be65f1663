# Tests of the export library (offscreen).
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
kvr_add_test(sheetout
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/export_dlg_test.cpp
  LIBS sheetout_dialog Sheetout kvr_testsupport Qt6::Test GUI)
