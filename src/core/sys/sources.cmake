# The system-call seam shared by the serial port and the data files.
target_sources(kvr_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sys_io.cpp
)
