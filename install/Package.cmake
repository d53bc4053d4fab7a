# `make package`: a Debian package of what the install rules put under the prefix, for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlix)
set(CPACK_PACKAGE_VENDOR Vorlix)
set(CPACK_PACKAGE_CONTACT "Vorlix developers <developers@vorlix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lay out and print business forms from plain text")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vorlix lays out business forms from a short page-description language and fills them\n"
    "from data documents, one page per record, for the preview, the printer (CUPS) or a PDF,\n"
    "PNG or SVG export. Shift_JIS (CP932) and UTF-8 files are both read and written. The\n"
    "package also holds drovik, which downloads sample sheets over HTTP.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load at run time, which no library they link names: Qt's platforms (offscreen
# for the unattended modes, xcb for the window) and the fonts the faces' default typefaces are.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho")
# With these the system's MIME database and menu learn the type and the entry on installation.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
include(CPack)
