# SPDX-License-Identifier: MIT
# -DTONVALE_SANITIZE=ON builds everything with ASan and UBSan.
if(TONVALE_SANITIZE)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  else()
    message(WARNING "TONVALE_SANITIZE is only supported with GCC and Clang")
  endif()
endif()
