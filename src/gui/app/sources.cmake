# Sources of the program shell (application, main frame, child frames, settings dialogs).
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/child_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flow_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/icons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mdi_background.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_pdf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screenshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_pane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_factory.cpp
)
# Help pages are found in the source tree when the program runs from a build folder.
target_compile_definitions(kvr_gui PRIVATE KVR_HELP_SOURCE_DIR="${PROJECT_SOURCE_DIR}/docs/help")
