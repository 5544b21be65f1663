# Tests of the view arithmetic.
# Window arithmetic, value scale, display pages and read-out of the history curves.
kvr_add_test(view_curves
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/curve_readout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/value_scale_test.cpp
  LIBS kvr_testsupport)
# Data-list rows and texts, go-to, display range and the value search.
kvr_add_test(view_lists
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/grid_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/navigation_test.cpp
  LIBS kvr_testsupport)
# Bar, dial and circular-chart geometry.
kvr_add_test(view_charts
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_geometry_test.cpp
  LIBS kvr_testsupport)

kvr_add_test(view_min_max_pyramid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/min_max_pyramid_test.cpp
  LIBS kvr_testsupport)
