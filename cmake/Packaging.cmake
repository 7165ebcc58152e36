# A Debian package of the installed editor: cpack in the build folder makes
# tessary_<version>_<arch>.deb. Installed under /usr like any packaged
# program; the desktop's MIME, launcher and icon caches are refreshed by the
# file triggers of the packages that own them, so no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VENDOR "Tessary")
set(CPACK_PACKAGE_CONTACT "Tessary developers <developers@tessary.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for a game's console scripts and config files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tessary edits the plain-text configuration and script files of a
console-driven game. A hint line explains the console command being
typed, every keystroke can be undone, a quick search finds the game's
console variables, and a small store of mods backs up their config files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The launcher names the program by its installed path: stage with DESTDIR so
# the prefix seen at install time is /usr, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The Qt libraries come from the program's own links; the platform plugins
# that draw the window are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqscintilla2-qt6-15")
# Wayland desktops draw natively with qt6-wayland; "File Types..." runs xdg-mime.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
include(CPack)
