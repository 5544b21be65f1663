# Makes the Debian package, unpacks it into a scratch root and runs KVR from there. Needs
# dpkg-deb (skipped without it); label "package" to leave it out (ctest -LE package).
if(KVR_BUILD_GUI)
  add_test(NAME package COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${PROJECT_BINARY_DIR}
           $<TARGET_EXISTS:Sheetout>)
  set_tests_properties(package PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
