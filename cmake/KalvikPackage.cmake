# The Debian package: `cpack -G DEB` in the build folder (scripts/package does
# the whole build). The program folder keeps its absolute place, /opt/kalvik,
# the year files theirs, /var/lib/kalvik; everything else goes below /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kalvik maintainers <maintainers@users.noreply.c-seed-846206fc.example>")
set(CPACK_PACKAGE_VENDOR "The Kalvik developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "temperature and air pressure from a home weather station")
set(CPACK_PACKAGE_DESCRIPTION
  "Kalvik shows the outdoor temperature read every 30 seconds from an SMT160\n\
sensor wired to a parallel port or a game port, and a diagram of one year of\n\
stored samples: for each day a bar from the lowest to the highest\n\
temperature, over lines for the day's highest and lowest air pressure (QNH).\n\
The program speaks Swedish. Its programs and sensor library lie in\n\
/opt/kalvik, the year files that its logger writes in /var/lib/kalvik.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KALVIK_HOMEPAGE})
# Dependencies from the shared libraries the programs actually link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# useradd for the logger's account.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "passwd")
set(kalvik_control ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${kalvik_control}/postinst ${kalvik_control}/prerm ${kalvik_control}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
