# Tests of the settings kept in Config.ini.
kvr_add_test(settings
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  LIBS kvr_testsupport)
