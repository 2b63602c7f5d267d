# Installation and the Debian package: the program and tonvale-format in bin, a menu entry, an icon,
# and the sample project (scripts and the waves the build makes) in share/tonvale/sample.
# `cpack -G DEB` in the build folder makes tonvale_<version>_<arch>.deb with its dependencies declared.
include(GNUInstallDirs)

if(TONVALE_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/tonvale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/tonvale.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sample/scripts DESTINATION ${CMAKE_INSTALL_DATADIR}/tonvale/sample)
if(TONVALE_SAMPLE_SOUND_DIR)
  install(DIRECTORY ${TONVALE_SAMPLE_SOUND_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/tonvale/sample)
endif()

set(CPACK_PACKAGE_NAME tonvale)
set(CPACK_PACKAGE_VENDOR "Tonvale")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for soundscape scripts with an audio preview")
set(CPACK_PACKAGE_DESCRIPTION "Tonvale shows the soundscape scripts of game and mod projects as a tree \
with a parameter grid, writes them back in one canonical layout, and plays single waves or whole \
soundscapes. Includes tonvale-format for build pipelines and a sample project.")
set(CPACK_PACKAGE_CONTACT "Tonvale maintainers <maintainers@tonvale.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# Libraries are found by dpkg-shlibdeps; the Qt platform plugin is loaded at run time, so it is named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libopenal1, libsndfile1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, libopenal-data")
include(CPack)
