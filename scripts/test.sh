#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The test command: installs what is missing, builds, and runs every test through ctest.
# TONVALE_WERROR=1 turns warnings into errors; TONVALE_TEST_SANITIZE=1 also runs the tests of the
# window-less libraries in an AddressSanitizer + UndefinedBehaviorSanitizer build;
# TONVALE_CHECK_PACKAGE=1 then builds the Debian package and runs Debian's checkers on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh

werror=OFF
[[ "${TONVALE_WERROR:-0}" == 1 ]] && werror=ON

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONVALE_WERROR=$werror
cmake --build build -j2
(cd build && ctest --output-on-failure -j2 --timeout 300)

if [[ "${TONVALE_TEST_SANITIZE:-0}" == 1 ]]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTONVALE_SANITIZE=ON -DTONVALE_WERROR=$werror \
        -DTONVALE_BUILD_GUI=OFF -DTONVALE_BUILD_BENCH=OFF
  cmake --build build-asan -j2
  (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2 --timeout 600)
fi

if [[ "${TONVALE_CHECK_PACKAGE:-0}" == 1 ]]; then
  scripts/check-package.sh
fi
