# kvr-sim: the instrument simulator. Its instrument side lives in a small library so that
# tests can compute what a simulated instrument holds.
add_library(kvrsim STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ascii_instrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fault_plan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instrument_content.cpp
  ${CMAKE_CURRENT_LIST_DIR}/realtime_instrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/request_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rtu_instrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_server.cpp
)
target_include_directories(kvrsim PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kvrsim PUBLIC kvr_core util)

add_executable(kvr-sim ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(kvr-sim PRIVATE kvrsim CLI11::CLI11)
