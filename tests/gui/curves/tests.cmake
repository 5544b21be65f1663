# The curve control: drawing, input, the renderer, label placement and the envelope.
kvr_add_test(gui_curves
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/curve_ctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_input_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/curve_renderer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/label_placer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/envelope_test.cpp
  LIBS kvr_gui kvr_testsupport Qt6::Test GUI)
