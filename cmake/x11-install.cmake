# Installs the X11 saver where xscreensaver and its hosts look for their programs (make install,
# and the Debian package through debian/rules).
include(GNUInstallDirs)

# xscreensaver's folder of display modes, under the prefix: libexec/xscreensaver on Debian,
# Ubuntu and Fedora; -DMISTO_HACK_DIR=lib/xscreensaver on Arch.
set(MISTO_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver
    CACHE STRING "xscreensaver's folder of display modes, relative to the prefix")

install(TARGETS misto RUNTIME DESTINATION ${MISTO_HACK_DIR})
if(TARGET misto-wayland)
    install(TARGETS misto-wayland RUNTIME DESTINATION ${MISTO_HACK_DIR})
endif()
# MATE and Xfce start the program the .desktop file names, by its full path (the hack folder is
# not on their PATH); the prefix is known only when installing (cmake --install --prefix).
install(CODE "
    set(MISTO_X11_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${MISTO_HACK_DIR}/misto\")
    configure_file(${CMAKE_SOURCE_DIR}/resources/x11/misto.desktop.in
                   ${CMAKE_BINARY_DIR}/generated/misto.desktop @ONLY)")
install(FILES ${CMAKE_SOURCE_DIR}/resources/x11/misto.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_BINARY_DIR}/generated/misto.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${CMAKE_SOURCE_DIR}/resources/x11/misto.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The scene the saver rains over when it has neither the desktop nor a picture of the user's.
install(FILES ${CMAKE_SOURCE_DIR}/resources/x11/wallpaper.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/misto)
