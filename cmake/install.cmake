# What `cmake --install` puts where, and the Debian package CPack builds from it (scripts/package.sh).
include(GNUInstallDirs)
# Installing needs only the programs below, not the tests and benchmarks: scripts/package.sh builds them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS varnel varnel-initdb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS packaging/varnel-start DESTINATION ${CMAKE_INSTALL_BINDIR})
# Report templates and the help file, copied into each user's working folder by varnel-start.
install(DIRECTORY templates/ DESTINATION ${CMAKE_INSTALL_DATADIR}/varnel/templates)
install(FILES packaging/varnel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/varnel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The same icon drawn at the theme's fixed sizes, for desktops and menus that take no SVG.
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES packaging/icons/varnel-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME varnel.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_CONTACT "Varnel <varnel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stock keeping for a small business (Hungarian user interface)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Receipts and issues of goods as movement lines with document numbers; item and batch cards, range\n"
    "lists and an item summary with opening and closing stock; items, partners, warehouses, movement\n"
    "types and employees. Each user works in ~/Varnel on an embedded Firebird database, or on a\n"
    "Firebird server shared by several desks.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link (Qt, fbclient, libxlsxwriter, libzip) come from dpkg-shlibdeps; these are
# loaded at run time: the Qt platform plugins and translations, the embedded engine (its plugins and
# character sets) and gbak/isql for backups and moving to a server.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, firebird3.0-server-core, firebird3.0-utils")
# Qt draws no text without a font; any desktop has one, a bare system gets this one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
