# `cpack -G DEB` in a build tree makes an installable Debian package of everything the
# tree installs.
set(CPACK_PACKAGE_NAME lcdscreen)
set(CPACK_PACKAGE_VENDOR "lcdscreen")
set(CPACK_PACKAGE_CONTACT "lcdscreen developers <lcdscreen@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Page editor and downloader for graphic LCD modules")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the SVG icons and the menus' CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
