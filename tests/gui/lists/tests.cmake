# The data list: grid, list window and its printing.
kvr_add_test(gui_lists
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/data_grid_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/list_view_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/list_print_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
