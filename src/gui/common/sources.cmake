# Sources shared by several window subsystems.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/command_menu.h
  ${CMAKE_CURRENT_LIST_DIR}/command_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_registry.h
  ${CMAKE_CURRENT_LIST_DIR}/command_registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_host.h
  ${CMAKE_CURRENT_LIST_DIR}/view_host.cpp
)
