# Installation where a Linux desktop finds the program, and the Debian package.
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB
include(GNUInstallDirs)

install(TARGETS dravik-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/dravik-studio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/DravikLogo.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
        RENAME dravik-studio.png)

set(CPACK_PACKAGE_NAME "dravik-studio")
set(CPACK_PACKAGE_VENDOR "Dravik")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Evaluation and configuration tool for the Zuno compass module")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Dravik Studio talks to a Zuno electronic compass module on a serial port: it reads\n"
    "and changes the module's settings, shows the live heading as digits and as a 3D\n"
    "model, logs and exports data sentences and runs the user calibration. A built-in\n"
    "simulated module lets every tab work without hardware.")
set(CPACK_PACKAGE_CONTACT "Dravik Studio developers <dravik-studio@localhost>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "dravik-studio")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries the program links come from dpkg-shlibdeps. Of what Qt loads at
# run time, the platform, image-format and Qt 3D renderer plugins come with those
# libraries' packages; Mesa's drivers must be named (software rendering where the
# machine has no other). No Qt 3D geometry loader is needed: the program builds the
# helicopter's mesh from the model text itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")

include(CPack)
