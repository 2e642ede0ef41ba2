# A .deb of the install tree: the game, the Glint headers and static
# libraries, the CMake package and glint.pc.
#
# Runtime dependencies of the game come from dpkg-shlibdeps (so a library
# added to the platform is named without a change here); the fonts that the
# text engine looks for and the General MIDI sound font that MIDI music
# plays with are named explicitly, and so are the development
# packages that a program linking the static libraries needs. The sound
# library is named too: the game makes no sound, so the linker leaves it
# out of the game, but every program that plays sound through the package
# needs it at run time.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "glint")
set(CPACK_PACKAGE_VENDOR "Lumenvale")
set(CPACK_PACKAGE_CONTACT "Lumenvale developers <lumenvale@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Glint graphics layer (Win32 names on SDL2) and the Lumenvale duel game")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0, fonts-unifont, fonts-wqy-zenhei, timgm6mb-soundfont")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsdl2-dev, libsdl2-mixer-dev, libfreetype-dev, libfontconfig-dev, pkg-config")
include(CPack)
