# The Debian package: `cpack -G DEB` in the build folder makes corvane_<version>_<arch>.deb.
# The program and the files it reads from beside itself go to /usr/lib/corvane, with
# /usr/bin/corvane, the desktop entry, the icon, the AppStream metainfo, the manual page and
# the copyright file. dpkg-shlibdeps (package dpkg-dev) finds the library packages it needs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_CONTACT "The Corvane developers <corvane@corvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps your logins on your own computer")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://corvane.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not a library: xdg-open opens web pages, the help page and paths with the desktop's programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# CPack puts the summary on the first line and indents these lines beneath it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Corvane keeps your logins in one file on your own computer: for each service
its web address, your user name, your password and a note. It shows them in
a grid, copies a field to the clipboard with one click, and can gather a
login from another program as you copy it there.

An owner password with an expiry date guards the program and, if you choose,
the database file. A built-in browser window opens a record's page and hands
you the user name and password to paste. The file protection keeps a file
from being read at a glance; it is not strong encryption.]=])

include(CPack)
