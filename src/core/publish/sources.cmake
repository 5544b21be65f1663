# Sources of the publish subsystem: records to an MQTT broker and back into history files.
find_package(nlohmann_json REQUIRED)
pkg_check_modules(MOSQUITTO REQUIRED IMPORTED_TARGET libmosquitto)
add_library(kvr_publish STATIC
  ${CMAKE_CURRENT_LIST_DIR}/instrument_sources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mqtt_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publish_cursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publisher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_payload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/source_follower.cpp
)
target_link_libraries(kvr_publish PUBLIC kvr_core PRIVATE PkgConfig::MOSQUITTO nlohmann_json::nlohmann_json)
set_target_properties(kvr_publish PROPERTIES POSITION_INDEPENDENT_CODE ON)
