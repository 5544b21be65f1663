# Tests of the view arithmetic.
kvr_add_test(view_charts
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_geometry_test.cpp
  LIBS kvr_testsupport)
