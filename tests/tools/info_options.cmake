# SPDX-License-Identifier: MIT
# cmake -DPROGRAM=<path> -DNAME=<name> -DVERSION=<version> -DMANPAGE=<roff source> -P info_options.cmake
# The program answers --help and --version on standard output with exit status 0, and its manual page
# documents every long option that its help names.
foreach(var PROGRAM NAME VERSION MANPAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "info_options.cmake needs -D${var}=...")
  endif()
endforeach()

function(run_program option out_var)
  execute_process(COMMAND "${PROGRAM}" ${option} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 60)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${NAME} ${option} exited with ${status}; standard error:\n${err}")
  endif()
  if(NOT err STREQUAL "")
    message(FATAL_ERROR "${NAME} ${option} wrote to standard error:\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

run_program(--version version_out)
if(NOT version_out STREQUAL "${NAME} ${VERSION}\n")
  message(FATAL_ERROR "${NAME} --version printed \"${version_out}\", not \"${NAME} ${VERSION}\"")
endif()

run_program(--help help_out)
string(FIND "${help_out}" "\n" end)
string(SUBSTRING "${help_out}" 0 ${end} first_line)
if(NOT first_line MATCHES "^Usage: ${NAME}( |$)")
  message(FATAL_ERROR "${NAME} --help starts with \"${first_line}\", not \"Usage: ${NAME}\"")
endif()

file(READ "${MANPAGE}" manual)
string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help_out}")
list(REMOVE_DUPLICATES options)
foreach(option IN LISTS options)
  string(REPLACE "-" "\\-" roff "${option}")
  string(FIND "${manual}" "${roff}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${NAME} --help names ${option}, but ${MANPAGE} does not document it")
  endif()
endforeach()
message(STATUS "${NAME}: --help and --version answer; the manual page documents ${options}")
