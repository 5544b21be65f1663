# Sources of the view arithmetic (what the windows compute but do not draw).
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chart_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/envelope_setting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/min_max_pyramid.cpp
)
