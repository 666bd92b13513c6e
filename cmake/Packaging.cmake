# `cmake --build BUILD --target package` makes a Debian package of what
# `cmake --install` puts in place, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk-sfv-utility)
set(CPACK_PACKAGE_VENDOR "Zelk SFV Utility developers")
set(CPACK_PACKAGE_CONTACT "Zelk SFV Utility developers <zelk-sfv-utility@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "create and validate SFV and MD5 checksum lists")
set(CPACK_PACKAGE_DESCRIPTION "A desktop program and the command-line tool zelk-sfv that write the
CRC-32 (SFV) or MD5 checksums of a folder's files into a list, and check a
folder's files against such a list, naming every file modified or missing.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the programs link against are found by dpkg-shlibdeps; Qt's
# platform plugins are loaded at run time, so no link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# A file manager opens lists through the desktop entry and the MIME types:
# their caches are rebuilt by these packages' triggers, so the package needs no
# maintainer scripts. The file managers read their action files at start or
# watch their folders. Nautilus shows our entries only through python3-nautilus;
# Caja only with caja-actions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, desktop-file-utils, shared-mime-info, python3-nautilus")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "caja-actions")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
