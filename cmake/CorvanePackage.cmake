# The Debian packages: `cpack -G DEB` in the build folder (scripts/package.sh does it all) makes
#
#   corvane_<version>-1_<arch>.deb          the program, its command, menu entry, icons, metainfo,
#                                           manual page and help page; Qt's core, GUI, widgets and
#                                           SVG libraries are all it needs
#   corvane-browser_<version>-1_<arch>.deb  the built-in browser window (corvane-browser.so) and
#                                           the Qt WebEngine it brings
#
# corvane recommends corvane-browser; without it everything but the built-in browser works.
# dpkg-shlibdeps (package dpkg-dev) finds the library packages each needs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEB_COMPONENT_INSTALL ON)

# Each package's description begins with its own summary line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CORVANE_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CORVANE_PACKAGER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The program: the components runtime and desktop.
set(CPACK_DEBIAN_CORVANE_PACKAGE_NAME corvane)
set(CPACK_DEBIAN_CORVANE_PACKAGE_SHLIBDEPS ON)
# xdg-open opens web pages, the help page and paths with the desktop's programs.
set(CPACK_DEBIAN_CORVANE_PACKAGE_RECOMMENDS "corvane-browser, xdg-utils")
# Until 1.0.1 the browser library came in the package corvane.
set(corvane_split_version 1.0.1~)
set(CPACK_DEBIAN_CORVANE_DESCRIPTION [=[keeps your logins on your own computer
Corvane keeps your logins in one file on your own computer: for each service
its web address, your user name, your password and a note. It shows them in
a grid, copies a field to the clipboard with one click, and can gather a
login from another program as you copy it there.

An owner password with an expiry date guards the program and, if you choose,
the database file. The file protection keeps a file from being read at a
glance; it is not strong encryption.

The built-in browser window, which opens a record's page and hands you the
user name and password to paste, comes in the package corvane-browser.]=])

# The browser library: the component browser. Its library dependencies are found by
# CorvaneCPackOptions.cmake: CPack's own search would see a shared library under /usr/lib and
# make the package run ldconfig, which a private library needs no more than the program does.
set(CPACK_DEBIAN_BROWSER_PACKAGE_NAME corvane-browser)
set(CPACK_DEBIAN_BROWSER_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_BROWSER_PACKAGE_BREAKS "corvane (<< ${corvane_split_version})")
set(CPACK_DEBIAN_BROWSER_PACKAGE_REPLACES "corvane (<< ${corvane_split_version})")
set(CPACK_DEBIAN_BROWSER_DESCRIPTION [=[built-in browser window of Corvane
Corvane keeps your logins in one file on your own computer. This package adds
its built-in browser window: it opens a record's web page, puts the user name
on the clipboard once the page has loaded and offers the password on a
button.

It brings Qt WebEngine, the Chromium-based web engine of Qt.]=])
set(CPACK_CORVANE_PACKAGE_VERSION ${CORVANE_PACKAGE_VERSION})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CorvaneCPackOptions.cmake)
file(GENERATE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} INPUT ${PROJECT_SOURCE_DIR}/cmake/CorvaneCPackOptions.cmake)

include(CPack)

cpack_add_component_group(corvane)
cpack_add_component_group(browser)
cpack_add_component(runtime GROUP corvane)
cpack_add_component(desktop GROUP corvane)
cpack_add_component(browser GROUP browser)
