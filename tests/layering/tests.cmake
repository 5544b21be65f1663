# Include rules between the program's parts, read from the source tree.
kvr_add_test(layering SOURCES ${CMAKE_CURRENT_LIST_DIR}/layering_test.cpp LIBS)
