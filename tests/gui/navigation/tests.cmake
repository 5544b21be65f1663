# The go-to and search dialogs, tags and the history view's navigation.
kvr_add_test(gui_navigation
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/navigation_dialog_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tag_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hc_navigation_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
