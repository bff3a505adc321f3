# What `cmake --install` puts in place, and the Debian package built from it (`cpack -G DEB`).
include(GNUInstallDirs)

install(TARGETS kv847 kv847-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/kv847.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
# udev reads its rules from lib/udev below the prefix whatever the platform's libdir is called.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/60-kv847.rules DESTINATION lib/udev/rules.d)

string(TIMESTAMP KV847_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/kv847.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/org.kv847.kv847.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.kv847.kv847.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME kv847)
set(CPACK_PACKAGE_VENDOR "KV847 developers")
set(CPACK_PACKAGE_CONTACT "KV847 developers <kv847@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of the KV847 cable pair analyser")
set(CPACK_PACKAGE_DESCRIPTION
    "Talks to the hand-held KV847 analyser over its USB serial link (an FTDI bridge) and shows live\n\
what it measures on the wire pairs of a cable line: LFA oscilloscope and spectrum, WRx receiver,\n\
NLJD and REFL reflectometer. Results are kept per pair, saved, compared and collected in reports.\n\
Includes kv847-sim, a virtual analyser on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own buttons and dialogs in Russian come from qttranslations5-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, qttranslations5-l10n")
# postinst applies the udev rule to an analyser already plugged in; removal needs no script (udev
# notices a removed rule file itself), so `dpkg -r` leaves nothing behind.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
