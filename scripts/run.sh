#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts Tonvale. In a build without the window
# (TONVALE_BUILD_GUI=OFF) it prints the canonical form of the bundled sample script instead.
# On the first run (no settings file yet) the program gets a settings file that opens the sample
# project: its scripts in sample/scripts, its waves made by the build in build/sample/sound.
# An existing settings file is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [[ -x build/app/tonvale ]]; then
  # The program keeps tnv.ini beside itself, or in the per-user config folder when it cannot write there.
  if [[ -w build/app ]]; then
    ini=build/app/tnv.ini
  else
    ini="${XDG_CONFIG_HOME:-$HOME/.config}/tonvale/tnv.ini"
  fi
  if [[ ! -e "$ini" ]]; then
    mkdir -p "$(dirname "$ini")"
    scripts/first-run-settings.sh "$root" > "$ini.new" && mv -n "$ini.new" "$ini"
    rm -f "$ini.new"
    echo "First run: settings in $ini open the sample project."
  fi
  exec build/app/tonvale
fi
exec build/tools/tonvale-format sample/scripts/soundscapes_sample.txt
