# Sources of the view arithmetic: what the windows compute before they draw.
# Data list, navigation, value search and curve marks.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/channel_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grid_copy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grid_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/navigation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_marks.cpp
)
# History curves: time window, value scale, display pages and the cursor read-out.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/curve_pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_readout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_window_policy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/value_scale.cpp
)
# Bar, dial and circular-chart geometry.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/chart_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/min_max_pyramid.cpp
)
