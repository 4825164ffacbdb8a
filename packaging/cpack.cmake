# `make package` (the CMake target `package`): a Debian package of Korvane, tarnex and the
# instrument simulator, installed under /usr.
# KORVANE_PACKAGE_MAINTAINER comes from packaging/CMakeLists.txt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "surveying instrument data and levelling-network adjustment")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane downloads the data recorded in total stations (GTS-200 and GTS-600
families) and digital levels (DL-100C family) over a serial port, turns them
into observation reports, coordinate listings and levelling reports, uploads
coordinate files, and keeps levelling observations in an adjustment database.
Its interface is in Traditional Chinese; every command also runs from the
command line.

tarnex, the console engine Korvane starts, adjusts a levelling network by
least squares and reports heights, residuals and the reliability of every
observation.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/Korvane/tarnex)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVANE_PACKAGE_MAINTAINER}")
# Libraries the programs link come from dpkg-shlibdeps; Korvane loads the rest at run time: the
# SQLite driver of its database and the Ming and Kai faces that stand in for 細明體 and 標楷體.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-arphic-uming, fonts-arphic-ukai")

include(CPack)
