# Sources of the history-curve windows.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hc_view.h
  ${CMAKE_CURRENT_LIST_DIR}/hc_view.cpp
)
