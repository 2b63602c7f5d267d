#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tests and the screenshots need, when some are missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libopenal-dev libsndfile1-dev libgtest-dev
          libgmock-dev libbenchmark-dev time fonts-dejavu-core xvfb xauth xdotool imagemagick clang-format
          qt6-translations-l10n qt6-l10n-tools)
if [[ "${TONVALE_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [[ "${TONVALE_CHECK_PACKAGE:-0}" == 1 ]]; then
  packages+=(dpkg-dev file lintian desktop-file-utils appstream)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" || {
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  }
fi
