# Installs the X11 saver where xscreensaver and its hosts look for their programs, and packs the
# same files into a Debian package (make deb).
include(GNUInstallDirs)

install(TARGETS misto RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
# MATE and Xfce start the program the .desktop file names, by its full path (libexec is not on
# their PATH); the prefix is known only when installing (cmake --install --prefix, CPack's /usr).
install(CODE "
    set(MISTO_X11_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/misto\")
    configure_file(${CMAKE_SOURCE_DIR}/resources/x11/misto.desktop.in
                   ${CMAKE_BINARY_DIR}/generated/misto.desktop @ONLY)")
install(FILES ${CMAKE_SOURCE_DIR}/resources/x11/misto.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_BINARY_DIR}/generated/misto.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${CMAKE_SOURCE_DIR}/resources/x11/misto.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME misto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Misto <dev@misto.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rain on the glass over your desktop, a screen saver for X")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows your own desktop as if seen through a window pane in the rain. Runs under xscreensaver, xsecurelock, MATE's and Xfce's screen savers, or full screen on its own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
