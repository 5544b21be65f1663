# The serial-parameter and default-display dialogs and what they keep in Config.ini.
kvr_add_test(gui_settings
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings_dialogs_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
