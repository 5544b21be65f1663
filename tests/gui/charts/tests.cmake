# The bar, dial and circular-chart windows.
kvr_add_test(gui_charts
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/charts_test.cpp
  LIBS kvr_gui kvr_testsupport GUI)
