# The application, the main frame and its hand-over between program instances.
kvr_add_test(gui_app
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main_frame_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/flow_app_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
# The hand-over and screenshot tests run the program itself; sample files come from kvrtool.
target_compile_definitions(test_gui_app PRIVATE KVR_PROGRAM="$<TARGET_FILE:KVR>")
add_dependencies(test_gui_app KVR kvrtool)
