# The upload dialog against kvr-sim; the reference files come from kvrtool.
kvr_add_test(gui_upload
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/upload_dlg_test.cpp
  LIBS kvr_gui kvr_simtest Qt6::Test GUI)
add_dependencies(test_gui_upload kvrtool)
