# CPack settings for the Debian package that `make package` builds: prefix /usr, section games,
# the runtime dependencies read off the program by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hexaglint)
set(CPACK_PACKAGE_VENDOR "The Hexaglint developers")
set(CPACK_PACKAGE_CONTACT "The Hexaglint developers <hexaglint@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puzzle game: keep a hexagon of fading gems alive")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The long description; CPack puts the summary above it, indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Hexaglint is a small puzzle game played with the mouse. A hexagon of 127
gems, in six colours, slowly loses its colour: a gem left alone fades to
grey in about half a minute and dies.

Hover over a gem to revive it a little, click two neighbouring gems to
swap them, and lock whole groups of one colour in place before they fade.
The score is the number of locked gems.")

include(CPack)
