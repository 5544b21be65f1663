# Tests of kvrtool as a program; the link and acquisition commands talk to kvr-sim.
find_package(nlohmann_json REQUIRED)
kvr_add_test(kvrtool_data
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/data_test.cpp
  LIBS kvr_testsupport nlohmann_json::nlohmann_json)
kvr_add_test(kvrtool_link
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_test.cpp
  LIBS kvr_simtest)
kvr_add_test(kvrtool_export
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/export_test.cpp
  LIBS kvr_testsupport)
kvr_add_test(kvrtool_acquire
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/acquire_test.cpp
  LIBS kvr_simtest)
kvr_add_test(kvrtool_records
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/records_test.cpp
  LIBS kvr_testsupport)
kvr_add_test(kvrtool_report
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_test.cpp
  LIBS kvr_testsupport)
# Minutes of collection from simulated buses compressed into some seconds each.
kvr_add_test(kvrtool_collect
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/collect_test.cpp
  LIBS kvr_simtest)
# Publishing to a real mosquitto started by each test on a free loopback port.
kvr_add_test(kvrtool_publish
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/publish_test.cpp
  LIBS kvr_brokertest kvr_publish)
foreach(name data link export acquire records report collect publish)
  add_dependencies(test_kvrtool_${name} kvrtool)
endforeach()
