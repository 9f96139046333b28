# Desktop integration and the Debian package. Included at the end of the top-level file,
# after every target that installs something.
#   cmake --install build --prefix <dir>     the program, its menu entry and its icons
#   cd build && cpack -G DEB                 courtlyx_<version>_<arch>.deb

include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/resources/courtlyx.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 256 48 32)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/courtlyx-icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME courtlyx.png)
endforeach()

# The tournament desk: the courts page with its browser MQTT client (from the npm registry,
# pinned by desk/package-lock.json; desk/install.sh fetches it) and courts.sh as a command.
set(COURTLYX_DESK_CLIENT ${PROJECT_SOURCE_DIR}/desk/node_modules/mqtt)
set(COURTLYX_DESK_DIR ${CMAKE_INSTALL_DATADIR}/courtlyx/desk)
install(FILES ${PROJECT_SOURCE_DIR}/desk/index.html ${PROJECT_SOURCE_DIR}/desk/desk.css
              ${PROJECT_SOURCE_DIR}/desk/desk.js
        DESTINATION ${COURTLYX_DESK_DIR})
install(CODE "if(NOT EXISTS \"${COURTLYX_DESK_CLIENT}/dist/mqtt.min.js\")
    message(FATAL_ERROR \"The courts page's MQTT client is missing: run desk/install.sh first\")
endif()")
install(FILES ${COURTLYX_DESK_CLIENT}/dist/mqtt.min.js ${COURTLYX_DESK_CLIENT}/LICENSE.md
        DESTINATION ${COURTLYX_DESK_DIR}/node_modules/mqtt/dist)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/courts.sh DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME courtlyx-courts)

set(CPACK_PACKAGE_NAME courtlyx)
set(CPACK_PACKAGE_VENDOR "Courtlyx developers")
set(CPACK_PACKAGE_CONTACT "Courtlyx developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Scoreboard for one tennis match")
set(CPACK_PACKAGE_DESCRIPTION "\
Courtlyx shows the names, points, games of up to five sets, the playing time, a wall
clock and a rich-text title of one tennis match in a single window meant for a second
monitor or a projector. The operator drives it with function keys and the mouse, and
the board counts by the rules of tennis itself.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Courtlyx developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt and the C++ runtime come from dpkg-shlibdeps; the board's faces are Liberation's,
# which nothing links against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Only the desk PC runs the broker; a court's board does without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mosquitto, mosquitto-clients")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
