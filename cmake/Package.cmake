# `cpack -G DEB` (scripts/package.sh) turns the install rules into quorvane_<version>_<arch>.deb.
# The libraries the binaries link come from dpkg-shlibdeps; what the program reaches at run time
# without linking it is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvane")
# The address is the package's; a distributor sets its own with -DQV_PACKAGE_MAINTAINER=...
set(QV_PACKAGE_MAINTAINER "Quorvane maintainers <maintainers@quorvane.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${QV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mail-merge companion for merge files on an FTP server")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane fetches the merge files (pipe-delimited records) an accounts\n\
system leaves on an FTP, FTPS or SFTP server, previews their records, and\n\
turns them into a LibreOffice Writer document with its data source\n\
attached, a merged Word document, an Excel workbook or an HTML page.\n\
A command line runs the search and the exports without a display.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# xdg-utils opens the HTML page and the documents with the desktop's programs; ca-certificates
# is the trust store the TLS checks start from.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, ca-certificates")
# The new document's data source needs Writer with Base; the PDF letters and printing are laid
# out by Writer (any of its forms: the desktop's or the one without a display); the choice to keep
# the server password in the desktop keyring needs a Secret Service (libsecret, linked, comes
# through the libraries' scan above).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libreoffice-writer | libreoffice-writer-nogui, libreoffice-base, gnome-keyring")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc")
include(CPack)
