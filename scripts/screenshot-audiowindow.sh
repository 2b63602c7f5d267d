#!/usr/bin/env bash
# Screenshots of the main window while a wave of the grid previews and of the player panel opened
# from the window, under xvfb, saved in build/screenshots/. Needs a configured build folder
# (scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target screenshot_audiowindow
mkdir -p build/screenshots
ALSOFT_DRIVERS=null ALSOFT_CONF=/dev/null xvfb-run -a -s "-screen 0 1024x768x24" \
  build/tests/shell/screenshot_audiowindow build/screenshots
