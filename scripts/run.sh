#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tonvale. In a build without the window
# (TONVALE_BUILD_GUI=OFF) it prints the canonical form of the bundled sample script instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [[ -x build/app/tonvale ]]; then
  exec build/app/tonvale
fi
exec build/tools/tonvale-format sample/scripts/soundscapes_sample.txt
