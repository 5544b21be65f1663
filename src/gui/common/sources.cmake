# Sources shared by several window subsystems; nothing here includes a subsystem.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/back_buffer.h
  ${CMAKE_CURRENT_LIST_DIR}/back_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/button_row.h
  ${CMAKE_CURRENT_LIST_DIR}/button_row.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color_ref.h
  ${CMAKE_CURRENT_LIST_DIR}/color_ref.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_ids.h
  ${CMAKE_CURRENT_LIST_DIR}/command_map.h
  ${CMAKE_CURRENT_LIST_DIR}/command_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_target.h
  ${CMAKE_CURRENT_LIST_DIR}/command_target.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_time_pickers.h
  ${CMAKE_CURRENT_LIST_DIR}/date_time_pickers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edge_rect.h
  ${CMAKE_CURRENT_LIST_DIR}/language.h
  ${CMAKE_CURRENT_LIST_DIR}/language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_owner.h
  ${CMAKE_CURRENT_LIST_DIR}/message_box.h
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printer_setup.h
  ${CMAKE_CURRENT_LIST_DIR}/printer_setup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_colors.h
  ${CMAKE_CURRENT_LIST_DIR}/system_colors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_host.h
  ${CMAKE_CURRENT_LIST_DIR}/view_host.cpp
)
