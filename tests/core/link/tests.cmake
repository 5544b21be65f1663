# Tests of the instrument link subsystem. The end-to-end tests start kvr-sim.
kvr_add_test(link
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bus_station_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/realtime_config_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_link_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upload_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upload_text_test.cpp
  LIBS kvr_simtest)

# Uploads through a line full of faults; a few seconds of real timeouts.
kvr_add_test(upload_soak
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/upload_soak_test.cpp
  LIBS kvr_simtest)

# The realtime acquisition engine against kvr-sim.
kvr_add_test(acquisition
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/acquisition_test.cpp
  LIBS kvr_simtest)

# Several hundred records through a line full of faults; some seconds of real timeouts.
kvr_add_test(acquisition_soak
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/acquisition_soak_test.cpp
  LIBS kvr_simtest)
