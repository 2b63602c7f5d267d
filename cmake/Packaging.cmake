# SPDX-License-Identifier: MIT
# Installation and the Debian package: the program and tonvale-format in bin with their manual pages,
# a menu entry, an icon, AppStream metadata, the copyright and changelog, and the sample project
# (scripts and the waves the build makes) in share/tonvale/sample.
# `cpack -G DEB` in the build folder makes tonvale_<version>_<arch>.deb with its dependencies declared;
# scripts/check-package.sh builds it and runs Debian's checkers on it.
include(GNUInstallDirs)
include(Changelog)

set(TONVALE_HOMEPAGE "https://github.com/tonvale/tonvale" CACHE STRING "The project's home page")
set(TONVALE_SCREENSHOT_URL "https://raw.githubusercontent.com/tonvale/tonvale/main/docs/main-window.png"
    CACHE STRING "Where the screenshot docs/main-window.png is published, for the AppStream metadata")
set(TONVALE_APPSTREAM_ID io.github.tonvale.tonvale)
set(TONVALE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tonvale)
set(dist_out ${PROJECT_BINARY_DIR}/dist)

set(CPACK_PACKAGE_NAME tonvale)
set(CPACK_PACKAGE_VENDOR "The Tonvale authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tonvale maintainers <maintainers@tonvale.invalid>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${TONVALE_HOMEPAGE})

# The package's changelog and the AppStream release list come from CHANGELOG.md, whose newest release
# must be the version being built.
tonvale_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md
    PACKAGE tonvale
    MAINTAINER "${CPACK_PACKAGE_CONTACT}"
    DEBIAN_FILE ${dist_out}/changelog
    APPSTREAM_VAR TONVALE_APPSTREAM_RELEASES
    VERSION_VAR TONVALE_RELEASE_VERSION
    DATE_VAR TONVALE_RELEASE_DATE)
if(NOT TONVALE_RELEASE_VERSION VERSION_EQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG.md's newest release is ${TONVALE_RELEASE_VERSION}, but the project's version is "
          "${PROJECT_VERSION}: add a \"## ${PROJECT_VERSION} - YYYY-MM-DD\" entry to CHANGELOG.md")
endif()

# The copyright file in Debian's machine-readable format carries the licence text of LICENSE, without its
# copyright line: each line indented by one blank, an empty line written as " .".
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines REGEX "^Copyright ")
list(GET license_lines 0 TONVALE_COPYRIGHT)
string(REGEX REPLACE "^Copyright (\\([cC]\\) )?" "" TONVALE_COPYRIGHT "${TONVALE_COPYRIGHT}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "^.*\nCopyright [^\n]*\n\n" "" license_text "${license_text}")
string(STRIP "${license_text}" license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " TONVALE_LICENSE_TEXT " ${license_text}")
configure_file(${PROJECT_SOURCE_DIR}/dist/copyright.in ${dist_out}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
             ${PROJECT_SOURCE_DIR}/LICENSE)

# Manual pages: roff sources with the version and the release date filled in, installed gzipped.
set(man_pages tonvale-format)
if(TARGET tonvale-render)
  list(APPEND man_pages tonvale-render)
endif()
if(TONVALE_BUILD_GUI)
  list(APPEND man_pages tonvale)
endif()
set(gzipped ${dist_out}/changelog.gz)
foreach(page IN LISTS man_pages)
  configure_file(${PROJECT_SOURCE_DIR}/dist/man/${page}.1.in ${dist_out}/man/${page}.1 @ONLY)
  list(APPEND gzipped ${dist_out}/man/${page}.1.gz)
  install(FILES ${dist_out}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# gzip -9n: the smallest file, and no name or time stamp in it, so that builds are reproducible.
find_program(TONVALE_GZIP gzip REQUIRED)
foreach(file IN LISTS gzipped)
  string(REGEX REPLACE "\\.gz$" "" source ${file})
  add_custom_command(OUTPUT ${file}
      COMMAND ${CMAKE_COMMAND} -DGZIP=${TONVALE_GZIP} -DSOURCE=${source} -DOUTPUT=${file}
              -P ${PROJECT_SOURCE_DIR}/cmake/GzipFile.cmake
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/GzipFile.cmake
      VERBATIM)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${gzipped})

install(FILES ${dist_out}/copyright ${dist_out}/changelog.gz DESTINATION ${TONVALE_DOC_DIR})
# Lintian reads the overrides from the package itself; each carries its reason.
install(FILES ${PROJECT_SOURCE_DIR}/dist/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tonvale)

if(TONVALE_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/tonvale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/tonvale.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(${PROJECT_SOURCE_DIR}/dist/tonvale.metainfo.xml.in
                 ${dist_out}/${TONVALE_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES ${dist_out}/${TONVALE_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sample/scripts DESTINATION ${CMAKE_INSTALL_DATADIR}/tonvale/sample)
if(TONVALE_SAMPLE_SOUND_DIR)
  install(DIRECTORY ${TONVALE_SAMPLE_SOUND_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/tonvale/sample)
endif()

# A stripped install (the package's) also drops the compiler's .comment and .note sections, as Debian's
# own packages do.
foreach(program tonvale-format tonvale)
  if(TARGET ${program} AND CMAKE_STRIP)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  endif()
endforeach()

# The description: CPack puts the summary first; the lines below it stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for soundscape scripts with an audio preview")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Tonvale edits the soundscape scripts of game and mod projects: the text files
that describe their ambient sound as named soundscapes with looping and random
sounds, waves, volumes, pitches and delays. It shows a script as a tree of
soundscapes and blocks with a grid of their parameters, creates soundscapes
and blocks from templates, picks wave files from the project's sound folder,
edits the whole text with find and replace, and plays one wave or a whole
soundscape. Scripts are saved in one canonical layout.

The package also contains tonvale-format, which prints, checks or rewrites
scripts in the canonical layout for build pipelines, and a sample project.]=])
foreach(line IN LISTS CPACK_PACKAGE_DESCRIPTION_SUMMARY CPACK_DEBIAN_PACKAGE_DESCRIPTION)
  string(REPLACE "\n" ";" lines "${line}")
  foreach(one IN LISTS lines)
    string(LENGTH "${one}" length)
    if(length GREATER 79)
      message(FATAL_ERROR "Package description line longer than 79 characters: ${one}")
    endif()
  endforeach()
endforeach()

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries are found by dpkg-shlibdeps; the Qt platform plugin is loaded at run time, so it is named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, libopenal-data")
include(CPack)
