# Sources shared by several window subsystems.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/file_events.h
  ${CMAKE_CURRENT_LIST_DIR}/file_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_host.h
  ${CMAKE_CURRENT_LIST_DIR}/view_host.cpp
)
