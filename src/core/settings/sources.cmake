# Sources of the settings the user keeps in Config.ini: the file itself, the last-used
# folder, the display defaults, the envelope switch and the span-panel and alarm-beep
# switches.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/display_defaults.cpp
  ${CMAKE_CURRENT_LIST_DIR}/last_dir.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_switches.cpp
)
