# The realtime window and its alarms against kvr-sim.
kvr_add_test(gui_realtime
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/rc_view_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/alarm_window_test.cpp
  LIBS kvr_gui kvr_simtest Qt6::Test GUI)
