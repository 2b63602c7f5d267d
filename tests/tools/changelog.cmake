# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder> -P changelog.cmake
# The package's changelog and the AppStream release list made from a CHANGELOG.md: only dated
# releases, newest first; items wrapped within 80 columns; the day of the week right (a leap day, a
# January date); characters that CMake lists or XML treat specially kept as written.
include(${SOURCE_DIR}/cmake/Changelog.cmake)
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/CHANGELOG.md [=[
# Changelog

Text before the first release; left out.

## Unreleased

- Not released yet; left out.

## [1.2.0] - 2024-02-29

- Reads `a;b` & <tags> [in brackets] and a backslash \
- A long item that goes on and on past the width of one line, so that it has to be wrapped twice over
  the eighty columns.

A closing paragraph.

## 1.0.0 - 2001-01-01
The first one.
]=])
tonvale_changelog(${WORK_DIR}/CHANGELOG.md PACKAGE pkg MAINTAINER "A B <a@example.org>"
    DEBIAN_FILE ${WORK_DIR}/changelog APPSTREAM_VAR releases VERSION_VAR version DATE_VAR date)

set(expected_debian [=[
pkg (1.2.0) unstable; urgency=medium

  * Reads a;b & <tags> [in brackets] and a backslash \
  * A long item that goes on and on past the width of one line, so that it has
    to be wrapped twice over the eighty columns.

  A closing paragraph.

 -- A B <a@example.org>  Thu, 29 Feb 2024 00:00:00 +0000

pkg (1.0.0) unstable; urgency=medium

  The first one.

 -- A B <a@example.org>  Mon, 01 Jan 2001 00:00:00 +0000
]=])
set(expected_releases [=[
    <release version="1.2.0" date="2024-02-29">
      <description>
        <ul>
          <li>Reads a;b &amp; &lt;tags&gt; [in brackets] and a backslash \</li>
          <li>A long item that goes on and on past the width of one line, so that it has to be wrapped twice over the eighty columns.</li>
        </ul>
        <p>A closing paragraph.</p>
      </description>
    </release>
    <release version="1.0.0" date="2001-01-01">
      <description>
        <p>The first one.</p>
      </description>
    </release>
]=])
file(READ ${WORK_DIR}/changelog debian)
if(NOT debian STREQUAL expected_debian)
  message(FATAL_ERROR "Debian changelog:\n${debian}\nexpected:\n${expected_debian}")
endif()
if(NOT releases STREQUAL expected_releases)
  message(FATAL_ERROR "AppStream releases:\n${releases}\nexpected:\n${expected_releases}")
endif()
if(NOT version STREQUAL "1.2.0" OR NOT date STREQUAL "2024-02-29")
  message(FATAL_ERROR "newest release: ${version} ${date}, expected 1.2.0 2024-02-29")
endif()
