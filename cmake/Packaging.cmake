# `cpack -G DEB` in a build tree makes an installable Debian package of everything the
# tree installs, under /usr. A tree configured for the default /usr/local packages as well:
# the programs find their data (share/lcdscreen) and the CAN adapter library (lib/) beside
# their own bin/ before the places compiled in.

set(LCD_PACKAGE_MAINTAINER "lcdscreen maintainers <maintainers@lcdscreen.example.org>"
  CACHE STRING "Maintainer of the Debian package (name <address>)")

set(CPACK_PACKAGE_NAME lcdscreen)
set(CPACK_PACKAGE_VENDOR "lcdscreen developers")
set(CPACK_PACKAGE_CONTACT "${LCD_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories 0755 and files as install() gives them (0644, programs 0755), whatever the
# umask of the person who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The Debian package: lcdscreen_VERSION-1_ARCH.deb. The revision is that of the package
# (cmake/debian/changelog.in), the version the project's.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
lcdscreen keeps a catalogue of module types, draws pages for graphic LCD
modules that carry their own flash and drawing firmware, lays the pages and
bitmaps out in the module's flash and downloads the image over a serial or
parallel port, the module's USB or a USB-CAN adapter. A virtual module shows
a project before any hardware is connected. The windows speak Chinese, or
English under an English locale.

The package holds:
  - lcdscreen, the editor (Qt 6);
  - glyphkiln, a dot-matrix font generator and viewer;
  - lcdtool, the editor's functions on the command line, for scripts;
  - lcdsim, a virtual display module that runs what a download sends;
  - kvxsim and libKVX_CAN, the USB-CAN adapter library and its emulator;
  - the module's two standard fonts, example pages, udev rules for the
    devices.
]])
# Depends: what the programs link (dpkg-shlibdeps), and what they load at run time:
# Qt's SVG plugins for the icons, a Chinese font for the windows, Qt's own translations
# for its dialogs, xdg-utils and shared-mime-info for the file types and the desktop.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6svg6, fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n, xdg-utils, shared-mime-info")
# A Song face, which Glyphkiln's default face name "宋体" stands for (any installed face that
# covers Chinese serves in its place).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# libKVX_CAN.so is in /usr/lib: the package activates libc's ldconfig trigger. (CPack adds
# postinst and postrm scripts that call ldconfig as well; they are redundant, not wrong.)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)

# Files of the Debian package alone, not of `cmake --install`: the changelog in Debian's
# form and the copyright file. They are the component "debian", which only the package
# installs beside everything else.
set(LCD_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(LCD_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
configure_file(${LCD_DEBIAN_DIR}/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
  COMMAND gzip -9nc changelog > changelog.Debian.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/debian
  COMMENT "Compressing the Debian changelog")
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
set(LCD_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lcdscreen)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz ${LCD_DEBIAN_DIR}/copyright
  DESTINATION ${LCD_DOC_DIR} COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")

include(CPack)
