# The history-curve window, its span panel and its printing.
kvr_add_test(gui_history
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hc_view_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_print_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/span_panel_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
# The printing tests run the program for its PDF output and read PDFs with poppler's tools.
target_compile_definitions(test_gui_history PRIVATE KVR_PROGRAM="$<TARGET_FILE:KVR>")
add_dependencies(test_gui_history KVR kvrtool)
