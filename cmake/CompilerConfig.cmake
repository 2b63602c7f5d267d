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
