# SPDX-License-Identifier: MIT
# The version of project() for the programs' --version: targets that link tonvale_version include
# "TonvaleVersion.h", which the configure step writes into the build folder.
configure_file(${CMAKE_CURRENT_LIST_DIR}/TonvaleVersion.h.in ${PROJECT_BINARY_DIR}/generated/TonvaleVersion.h @ONLY)
add_library(tonvale_version INTERFACE)
target_include_directories(tonvale_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
