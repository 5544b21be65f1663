# Tests of the view arithmetic.
kvr_add_test(view_charts
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_geometry_test.cpp
  LIBS kvr_testsupport)

kvr_add_test(view_min_max_pyramid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/min_max_pyramid_test.cpp
  LIBS kvr_testsupport)
