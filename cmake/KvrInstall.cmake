# Install rules and the Debian package. KVR, kvrtool and kvr-sim go to bin, the Sheetout
# library (when it is built) to the library folder, the help where the program looks for
# it (share/kvr/help), and the desktop entry, icon and file types so that a double-click on
# a history or report file opens it in KVR.
include(GNUInstallDirs)

install(TARGETS kvrtool kvr-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The collector's service unit, installed but not enabled.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr-collect.service
        DESTINATION lib/systemd/system)
if(KVR_BUILD_GUI)
  install(TARGETS KVR RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(TARGET Sheetout)
    # The installed program finds the library in the package, also when the package is
    # unpacked somewhere other than /usr.
    set_target_properties(KVR PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    install(TARGETS Sheetout
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kvr/help)
  # The pictures the help shows, where its relative links find them.
  install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshots/span_panel.png
                ${PROJECT_SOURCE_DIR}/docs/screenshots/realtime_alarm.png
                ${PROJECT_SOURCE_DIR}/docs/screenshots/realtime_alarm_list.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/kvr/screenshots)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kvr.xml)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvr)
set(CPACK_PACKAGE_VENDOR "KVR")
set(CPACK_PACKAGE_CONTACT "KVR maintainers <kvr@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data management for flow totalizers")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET Sheetout)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS $<TARGET_FILE_DIR:Sheetout>)
endif()
# Loaded at run time, so dpkg-shlibdeps cannot see them: the windowing plugins, Qt's own
# Chinese texts, the CJK font the program asks for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Uploads the history stored in flow totalizers over a serial line, shows it as curves and lists, computes cumulative reports and statistics and exports them to Excel workbooks. With kvrtool, the command-line companion, and kvr-sim, an instrument simulator.")
include(CPack)
