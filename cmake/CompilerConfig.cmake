# SPDX-License-Identifier: MIT
# Warnings live in one INTERFACE target that every project target links.
add_library(tonvale_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(tonvale_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough)
  if(TONVALE_WERROR)
    target_compile_options(tonvale_warnings INTERFACE -Werror)
  endif()
elseif(MSVC)
  target_compile_options(tonvale_warnings INTERFACE /W4 /utf-8)
  if(TONVALE_WERROR)
    target_compile_options(tonvale_warnings INTERFACE /WX)
  endif()
endif()

# Optimised builds are hardened as Debian builds its packages: checked string and memory functions,
# and relocations resolved and made read-only at start.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT TONVALE_SANITIZE)
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>
                      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
